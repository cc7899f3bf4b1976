// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace ordano {

// What a look at a file tells of its contents without reading them: its size, when it was last
// written and when its entry last changed (counts of the system's own ticks, only to be
// compared with another look), and which file it is (a file moved in under the same name is
// another file, whatever its size and times).
struct FileState {
    std::uintmax_t size = 0;
    std::int64_t written = 0;
    std::int64_t changed = 0;
    std::uint64_t id = 0;
    std::uint64_t volume = 0;

    friend bool operator==(const FileState&, const FileState&) = default;
};

// One query of the file system (a folder of thousands of files is looked at every pass);
// nullopt when the path is not a regular file or cannot be looked at.
[[nodiscard]] std::optional<FileState> file_state(const std::filesystem::path& file) noexcept;

}  // namespace ordano
