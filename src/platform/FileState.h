#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace ordano {

// What a look at a file tells of its contents without reading them: its size and when it was
// last written (a count of the system's own ticks, only to be compared with another look).
struct FileState {
    std::uintmax_t size = 0;
    std::int64_t written = 0;

    friend bool operator==(const FileState&, const FileState&) = default;
};

// One query of the file system (a folder of thousands of files is looked at every pass);
// nullopt when the path is not a regular file or cannot be looked at.
[[nodiscard]] std::optional<FileState> file_state(const std::filesystem::path& file) noexcept;

}  // namespace ordano
