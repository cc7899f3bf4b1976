// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <ctime>

namespace ordano {

// The broken-down local time of `t` on this workstation (thread-safe on every platform).
[[nodiscard]] std::tm local_time(std::time_t t) noexcept;

}  // namespace ordano
