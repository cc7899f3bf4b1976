// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ordano {

// An exclusive lock on a file, held while the object lives. The operating system releases it
// when the process ends, however it ends, so a killed holder never leaves a stale lock.
// The file itself stays (removing it would let a late opener lock a file nobody else sees);
// it holds a short note of who has the lock, for the next one to read.
class FileLock {
public:
    // Takes the lock without waiting, creating the file (owner-only) if needed; std::nullopt
    // when another holder has it. Throws std::system_error when the file cannot be opened.
    [[nodiscard]] static std::optional<FileLock> try_acquire(const std::filesystem::path& file);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();  // empties the note and releases the lock

    // Replaces the note (best effort: a note that cannot be written leaves the lock held).
    void write_note(std::string_view text) noexcept;

private:
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    void release() noexcept;

    std::intptr_t handle_ = -1;  // file descriptor, or HANDLE on Windows
};

// The note the holder of `file` left; empty when there is none or it cannot be read.
[[nodiscard]] std::string read_lock_note(const std::filesystem::path& file);

}  // namespace ordano
