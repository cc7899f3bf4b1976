// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>

#include "base/DateTime.h"
#include "cli/Cli.h"

namespace ordano {
class Office;
}

namespace ordano::cli {

// Whether a command holds the office's lock while it runs: those that transfer or write do,
// so that no other program of Ordano works on the office meanwhile; readers do not, and write
// nothing into it.
enum class OfficeUse { Read, Work };

// Brings the office up for a command (throws StartupError as Office::open does, OfficeBusyError
// when the command works and another program has the office), with the workstation's number,
// date and time forms (the same as the window's) and the command's stop; what start-up kept
// back without stopping is told on standard error, one line each.
[[nodiscard]] std::unique_ptr<Office> open_office(const Invocation& invocation, const Clock& clock,
                                                  OfficeUse use = OfficeUse::Read);

// Ends the office's journal once the command's work is over: what the database never took is
// told on standard error (which files, where their writes are kept). Returns 7 then, else 0.
[[nodiscard]] int close_journal(Office& office);

}  // namespace ordano::cli
