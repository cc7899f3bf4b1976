// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace ordano::review {

// An amount held as digits without separators, shown in thousands with the workstation's
// grouping symbol and no decimals ("#,##0": 000001234567 gives 1,234,567). A text that is not
// a whole number is shown as it stands, trimmed. The result is UTF-8.
[[nodiscard]] std::string whole_amount(std::string_view cp1252_digits, const LocaleFormats& locale);

// The same whole number as pesos with two decimals (" $#,##0.00": a blank, a dollar sign,
// 12,345.00).
[[nodiscard]] std::string peso_amount(std::string_view cp1252_digits, const LocaleFormats& locale);

}  // namespace ordano::review
