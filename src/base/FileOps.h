// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ordano {

// Deletes the file if it exists, also when it is read-only; nothing when it does not.
void erase_file(const std::filesystem::path& file);

// The bytes of a file's first line (up to the first CR or LF), read without loading the
// file; std::nullopt when the file does not exist or cannot be opened.
[[nodiscard]] std::optional<std::string> read_first_line_bytes(const std::filesystem::path& file);

}  // namespace ordano
