// SPDX-License-Identifier: Apache-2.0
#include "review/Amounts.h"

#include "review/Fields.h"

namespace ordano::review {
namespace {

std::string grouped(std::string_view digits, const std::string& grouping) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 * grouping.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += grouping;
        }
        out.push_back(digits[i]);
    }
    return out;
}

// Formats a numeric text with `prefix` before the grouped digits and `suffix` after them;
// anything else is shown as it stands, trimmed.
std::string formatted(std::string_view cp1252_digits, std::string_view prefix,
                      std::string_view suffix, const LocaleFormats& locale) {
    const IntField number = read_int(cp1252_digits);
    if (!is_numeric(cp1252_digits)) {
        return number.shown;
    }
    const bool negative = number.shown.front() == '-';
    const std::string_view digits = std::string_view(number.shown).substr(negative ? 1 : 0);
    std::string out = negative ? "-" : "";
    out += prefix;
    out += grouped(digits, locale.grouping);
    out += suffix;
    return out;
}

}  // namespace

std::string whole_amount(std::string_view cp1252_digits, const LocaleFormats& locale) {
    return formatted(cp1252_digits, "", "", locale);
}

std::string peso_amount(std::string_view cp1252_digits, const LocaleFormats& locale) {
    return formatted(cp1252_digits, " $", locale.decimal + "00", locale);
}

}  // namespace ordano::review
