// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ordano {

// A folder (UTF-8, as the parameters hold it) joined to a bare file name (UTF-8).
[[nodiscard]] std::filesystem::path path_in_folder(std::string_view folder,
                                                   std::string_view file_name);

// A path as UTF-8, for messages and for the names shown in lists.
[[nodiscard]] std::string shown_path(const std::filesystem::path& path);

// A file-name character, or a whole name, with its ASCII letters in upper case: the office's
// file system ignores letter case. File names are ASCII in practice; other bytes stay as they
// are.
[[nodiscard]] constexpr char upper_case_letter(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
[[nodiscard]] std::string upper_case_name(std::string_view name);

// Whether `name` names a file of a folder and nothing else: not empty, not "." or "..", and
// without a folder separator, a drive's colon or a NUL byte.
[[nodiscard]] bool is_bare_name(std::string_view name);

// The file called `name` in `folder`, its letter case ignored as on the office's file system
// (an exact match first); nullopt when there is none or the folder cannot be read.
[[nodiscard]] std::optional<std::filesystem::path> find_file_ignoring_case(
    const std::filesystem::path& folder, std::string_view name);

}  // namespace ordano
