#pragma once

#include <memory>

#include "store/DateTime.h"
#include "store/Settings.h"

namespace ordano {
class Office;
}

namespace ordano::cli {

// Brings the office up for a command (throws StartupError as Office::open does); what start-up
// kept back without stopping is told on standard error, one line each.
[[nodiscard]] std::unique_ptr<Office> open_office(const PathOptions& paths, const Clock& clock,
                                                  LocaleFormats locale = {});

}  // namespace ordano::cli
