// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/Errors.h"

namespace SQLite {
class Database;
class Exception;
}  // namespace SQLite

namespace ordano {

// How long a statement waits for another program to let go of the database before giving up.
inline constexpr int kBusyTimeoutMs = 5000;

// Opens the office's database for reading and writing. Throws StartupError with a clear
// message when the file is missing, held by another program, cannot be opened or is not a
// database.
[[nodiscard]] std::unique_ptr<SQLite::Database> open_database(const std::filesystem::path& file);

// Start-up's words for a failure of the database engine: a database that another program
// holds is said to be held, whatever start-up was doing; anything else is `doing` followed by
// the engine's own words.
[[nodiscard]] StartupError startup_database_failure(const SQLite::Exception& error,
                                                    const std::filesystem::path& file,
                                                    const std::string& doing);

// The engine's failures that are local ones, numbered as the file-system failures are:
// 61 when the disk (or the database) is full, 70 when another program holds the database or
// it cannot be written. std::nullopt for any other failure.
[[nodiscard]] std::optional<NumberedError> database_local_failure(
    const SQLite::Exception& error, const std::filesystem::path& file);

}  // namespace ordano
