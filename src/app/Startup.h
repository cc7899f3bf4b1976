// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>

#include "base/DateTime.h"
#include "office/Settings.h"

namespace ordano {

class FrontEnd;
class Office;

// Brings the office up, holding its lock as "ordano" for as long as the Office lives. When it
// cannot (another program of Ordano has the office, no settings file, a short first line, no
// database, a file that is not one, no parameters row, ...) shows one critical message with
// the product name as caption and returns nothing. What start-up kept back without stopping
// is told in one message each.
[[nodiscard]] std::unique_ptr<Office> open_office_or_report(const PathOptions& paths,
                                                            const Clock& clock,
                                                            const LocaleFormats& formats,
                                                            FrontEnd& ui);

}  // namespace ordano
