// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace ordano {

// This process's id, as the operating system numbers it.
[[nodiscard]] long current_process_id() noexcept;

// Whether a process with this id is running. True also when that cannot be told (no right to
// ask, say): a file named after a live process must never be taken for a leftover.
[[nodiscard]] bool process_running(long pid) noexcept;

}  // namespace ordano
