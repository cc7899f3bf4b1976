#pragma once

#include <filesystem>
#include <memory>

namespace SQLite {
class Database;
}

namespace ordano {

// Opens the office's database for reading and writing. Throws StartupError with a clear
// message when the file is missing, cannot be opened or is not a database.
[[nodiscard]] std::unique_ptr<SQLite::Database> open_database(const std::filesystem::path& file);

}  // namespace ordano
