// SPDX-License-Identifier: Apache-2.0
#include "platform/DurableFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace ordano {

#ifdef _WIN32

std::error_code write_to_disk(const std::filesystem::path& file, std::string_view bytes) noexcept {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {static_cast<int>(GetLastError()), std::system_category()};
    }
    DWORD error = 0;
    DWORD written = 0;
    if (WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) == 0 ||
        written != bytes.size() || FlushFileBuffers(handle) == 0) {
        error = GetLastError();
    }
    CloseHandle(handle);
    return {static_cast<int>(error), std::system_category()};
}

#else

std::error_code write_to_disk(const std::filesystem::path& file, std::string_view bytes) noexcept {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return {errno, std::generic_category()};
    }
    int error = 0;
    for (std::size_t done = 0; done < bytes.size() && error == 0;) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno != EINTR) {
            error = errno;
        } else if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
        }
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error == 0 ? std::error_code() : std::error_code(error, std::generic_category());
}

#endif

}  // namespace ordano
