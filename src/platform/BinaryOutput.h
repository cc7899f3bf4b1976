// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdio>

namespace ordano {

// Makes `stream` pass bytes through untouched from now on. On Windows a text-mode stream turns
// every LF into CR LF; elsewhere streams are always binary and this does nothing.
// Flush the C++ stream that writes to `stream` before calling it.
void set_binary_mode(std::FILE* stream) noexcept;

}  // namespace ordano
