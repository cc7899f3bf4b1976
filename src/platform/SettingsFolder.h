// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>

namespace ordano {

// The machine's own folder for the office's settings file, looked in when the program's folder
// holds none: on Windows %ProgramData%\Ordano (the program's folder is under Program Files,
// which the office's clerks cannot write); elsewhere none, the file stays beside the program.
[[nodiscard]] std::optional<std::filesystem::path> machine_settings_folder();

}  // namespace ordano
