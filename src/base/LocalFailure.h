// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <system_error>

#include "base/Errors.h"

namespace ordano {

// The numbered failure of a local file operation on `path`, from the cause the system gave:
// 68 when the file or its folder is not there, 61 when the disk has no room left, 70 when the
// file cannot be reached for any other reason (no permission, in use, a folder in its place,
// a read-only disk). The words name the cause and the path.
[[nodiscard]] NumberedError local_failure(const std::filesystem::path& path, std::error_code cause);

// The same for the C library's last failure (errno), to be read right after the failing call.
// Without a recorded cause, the path is probed: missing (68), else no access (70).
[[nodiscard]] NumberedError last_local_failure(const std::filesystem::path& path);

}  // namespace ordano
