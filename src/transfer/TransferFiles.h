// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>

namespace ordano {

// Copies a file, overwriting the target, through a temporary file beside the target that is
// renamed only when complete: a failure (or a crash) never leaves a truncated target. Throws
// NumberedError 68 (file or folder missing) or 70 (not readable or not writable), and
// RunStopped as soon as a stop is requested (the temporary file removed).
void copy_through_temp(const std::filesystem::path& from, const std::filesystem::path& to,
                       const std::stop_token& stop = {});

// Moves a file onto `to`, replacing it: a rename when both are on one file system (atomic),
// else copy_through_temp and then the source removed. On failure the source stays and the
// target is untouched; the failure is numbered as copy_through_temp's.
void move_into_place(const std::filesystem::path& from, const std::filesystem::path& to);

// erase_file with the failure numbered: 70 when the file exists but cannot be deleted.
void delete_file(const std::filesystem::path& file);

// Deletes a file if it is there; a failure is ignored (for clean-up of working copies).
void remove_quietly(const std::filesystem::path& file) noexcept;

}  // namespace ordano
