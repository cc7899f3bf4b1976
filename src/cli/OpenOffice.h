#pragma once

#include <memory>
#include <string_view>

#include "store/DateTime.h"
#include "store/Settings.h"

namespace ordano {
class Office;
}

namespace ordano::cli {

// Brings the office up for a command (throws StartupError as Office::open does, holding the
// office's lock for `lock_holder` when one is given); what start-up kept back without stopping
// is told on standard error, one line each.
[[nodiscard]] std::unique_ptr<Office> open_office(const PathOptions& paths, const Clock& clock,
                                                  LocaleFormats locale = {},
                                                  std::string_view lock_holder = {});

}  // namespace ordano::cli
