#include "platform/FileState.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ordano {

#ifdef _WIN32

// The file list already carries both, so the two queries cost little here.
std::optional<FileState> file_state(const std::filesystem::path& file) noexcept {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(file, ec);
    const auto written = std::filesystem::last_write_time(file, ec);
    if (ec) {
        return std::nullopt;
    }
    return FileState{size, static_cast<std::int64_t>(written.time_since_epoch().count())};
}

#else

std::optional<FileState> file_state(const std::filesystem::path& file) noexcept {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    constexpr std::int64_t kNanoseconds = 1000000000;
    return FileState{
        static_cast<std::uintmax_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanoseconds + info.st_mtim.tv_nsec};
}

#endif

}  // namespace ordano
