#pragma once

#include <memory>

#include "cli/Cli.h"
#include "store/DateTime.h"

namespace ordano {
class Office;
}

namespace ordano::cli {

// Brings the office up for a command (throws StartupError as Office::open does), with the
// workstation's number, date and time forms (the same as the window's) and the command's
// stop; what start-up kept back without stopping is told on standard error, one line each.
[[nodiscard]] std::unique_ptr<Office> open_office(const Invocation& invocation, const Clock& clock);

}  // namespace ordano::cli
