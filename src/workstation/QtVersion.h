// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace ordano {

// The version of the Qt libraries the program runs with (for --version). Declared without Qt
// so that the command line's core files include no Qt header.
[[nodiscard]] const char* qt_runtime_version() noexcept;

}  // namespace ordano
