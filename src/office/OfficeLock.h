// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string_view>

#include "base/Errors.h"
#include "platform/FileLock.h"

namespace ordano {

// The lock file, in the office's database folder.
inline constexpr const char* kOfficeLockFileName = "Ordano.lock";

// Another program of Ordano has the office: the message names it (process id and program).
class OfficeBusyError : public StartupError {
public:
    using StartupError::StartupError;
};

// One client per office: the window and every command that transfers or writes hold this lock
// on the office's database folder for as long as they run, so two of them never poll the same
// account or write the same database. The operating system releases it when the holder ends,
// however it ends: a killed holder never blocks the next one.
class OfficeLock {
public:
    // Takes the lock for `program` ("ordano", "ordano-cli send", ...) without waiting.
    // OfficeBusyError when another process holds it; StartupError when the lock file cannot be
    // opened.
    [[nodiscard]] static OfficeLock take(const std::filesystem::path& db_folder,
                                         std::string_view program);

private:
    explicit OfficeLock(FileLock lock) : lock_(std::move(lock)) {}

    FileLock lock_;
};

}  // namespace ordano
