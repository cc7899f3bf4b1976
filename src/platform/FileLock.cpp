// SPDX-License-Identifier: Apache-2.0
#include "platform/FileLock.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace ordano {

#ifdef _WIN32

namespace {

// The locked byte lies far past any note, so others can still read the note.
OVERLAPPED lock_range() {
    OVERLAPPED range{};
    range.Offset = 0;
    range.OffsetHigh = 0x100;
    return range;
}

HANDLE as_handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// A symbolic link or junction put in the file's place is opened as itself, never followed
// (the note would overwrite what it points at), and refused.
HANDLE open_lock_file(const std::filesystem::path& file) {
    HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    BY_HANDLE_FILE_INFORMATION info{};
    if (error == ERROR_SUCCESS && (!GetFileInformationByHandle(handle, &info) ||
                                   (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
        CloseHandle(handle);
        error = ERROR_CANT_ACCESS_FILE;
    }
    if (error != ERROR_SUCCESS) {
        throw std::system_error(static_cast<int>(error), std::system_category(), file.string());
    }
    return handle;
}

}  // namespace

std::optional<FileLock> FileLock::try_acquire(const std::filesystem::path& file) {
    HANDLE handle = open_lock_file(file);
    OVERLAPPED range = lock_range();
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
            return std::nullopt;
        }
        throw std::system_error(static_cast<int>(error), std::system_category(), file.string());
    }
    return FileLock(reinterpret_cast<std::intptr_t>(handle));
}

void FileLock::write_note(std::string_view text) noexcept {
    HANDLE handle = as_handle(handle_);
    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(handle);
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FlushFileBuffers(handle);
}

void FileLock::release() noexcept {
    if (handle_ == -1) {
        return;
    }
    write_note({});
    OVERLAPPED range = lock_range();
    UnlockFileEx(as_handle(handle_), 0, 1, 0, &range);
    CloseHandle(as_handle(handle_));
    handle_ = -1;
}

#else

std::optional<FileLock> FileLock::try_acquire(const std::filesystem::path& file) {
    // A symbolic link in the file's place is refused, not followed: the note would truncate
    // whatever it points at.
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), file.string());
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return std::nullopt;
        }
        throw std::system_error(error, std::generic_category(), file.string());
    }
    return FileLock(fd);
}

void FileLock::write_note(std::string_view text) noexcept {
    const int fd = static_cast<int>(handle_);
    if (::ftruncate(fd, 0) != 0) {
        return;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n =
            ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void FileLock::release() noexcept {
    if (handle_ == -1) {
        return;
    }
    write_note({});
    ::close(static_cast<int>(handle_));  // closing the last descriptor drops the lock
    handle_ = -1;
}

#endif

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

std::string read_lock_note(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace ordano
