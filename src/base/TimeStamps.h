// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace ordano {

// "YYYY-MM-DDTHH:MM:SS": ISO 8601 local time without a zone, the form the journal stores and
// prints. Such texts sort as the moments they name.
[[nodiscard]] std::string iso_timestamp(const LocalDateTime& at);
// Reads iso_timestamp's form (a date alone is midnight); nullopt for anything else.
[[nodiscard]] std::optional<LocalDateTime> parse_iso_timestamp(std::string_view text);

// The same wall-clock reading shifted by whole minutes (negative goes back).
[[nodiscard]] LocalDateTime add_minutes(const LocalDateTime& at, int minutes);

}  // namespace ordano
