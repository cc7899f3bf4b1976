// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>

namespace ordano {

// What the office's Windows calls C:\ when nothing names another drive root: C:\ itself on
// Windows; elsewhere the user's data folder, $XDG_DATA_HOME/ordano (~/.local/share/ordano).
[[nodiscard]] std::filesystem::path default_drive_root();

}  // namespace ordano
