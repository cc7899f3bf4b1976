// SPDX-License-Identifier: Apache-2.0
#include "platform/FileState.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace ordano {

#ifdef _WIN32

namespace {

std::int64_t ticks(LARGE_INTEGER time) {
    return static_cast<std::int64_t>(time.QuadPart);
}

}  // namespace

// The change time and the file's id need an open handle (attributes only, shared with writers).
std::optional<FileState> file_state(const std::filesystem::path& file) noexcept {
    HANDLE handle = CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    const bool read =
        GetFileInformationByHandle(handle, &info) != 0 &&
        GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != 0;
    CloseHandle(handle);
    if (!read || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    FileState state;
    state.size = (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    state.written = ticks(basic.LastWriteTime);
    state.changed = ticks(basic.ChangeTime);
    state.id = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    state.volume = info.dwVolumeSerialNumber;
    return state;
}

#else

std::optional<FileState> file_state(const std::filesystem::path& file) noexcept {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    constexpr std::int64_t kNanoseconds = 1000000000;
    FileState state;
    state.size = static_cast<std::uintmax_t>(info.st_size);
    state.written =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanoseconds + info.st_mtim.tv_nsec;
    state.changed =
        static_cast<std::int64_t>(info.st_ctim.tv_sec) * kNanoseconds + info.st_ctim.tv_nsec;
    state.id = static_cast<std::uint64_t>(info.st_ino);
    state.volume = static_cast<std::uint64_t>(info.st_dev);
    return state;
}

#endif

}  // namespace ordano
