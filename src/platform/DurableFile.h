// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace ordano {

// Writes `bytes` as the whole of `file` (created or emptied) and waits until the system has
// put them on the disk, so that a power cut right after leaves them there. The error of the
// first step that failed; none when all went well.
[[nodiscard]] std::error_code write_to_disk(const std::filesystem::path& file,
                                            std::string_view bytes) noexcept;

}  // namespace ordano
