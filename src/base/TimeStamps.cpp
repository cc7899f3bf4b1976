// SPDX-License-Identifier: Apache-2.0
#include "base/TimeStamps.h"

#include <charconv>
#include <cstdio>

namespace ordano {
namespace {

using namespace std::chrono;

std::optional<int> digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool has(std::string_view text, std::size_t at, char c) {
    return at < text.size() && text[at] == c;
}

}  // namespace

std::string iso_timestamp(const LocalDateTime& at) {
    char out[32];
    std::snprintf(out, sizeof out, "%04d-%02u-%02uT%02d:%02d:%02d",
                  static_cast<int>(at.date.year()), static_cast<unsigned>(at.date.month()),
                  static_cast<unsigned>(at.date.day()), at.hour, at.minute, at.second);
    return out;
}

std::optional<LocalDateTime> parse_iso_timestamp(std::string_view text) {
    const auto y = digits(text, 0, 4);
    const auto m = digits(text, 5, 2);
    const auto d = digits(text, 8, 2);
    if (!y || !m || !d || !has(text, 4, '-') || !has(text, 7, '-')) {
        return std::nullopt;
    }
    LocalDateTime at;
    at.date = year{*y} / month{static_cast<unsigned>(*m)} / day{static_cast<unsigned>(*d)};
    if (!at.date.ok()) {
        return std::nullopt;
    }
    if (text.size() == 10) {
        return at;
    }
    const auto hh = digits(text, 11, 2);
    const auto mm = digits(text, 14, 2);
    const auto ss = digits(text, 17, 2);
    if (text.size() != 19 || !has(text, 10, 'T') || !has(text, 13, ':') || !has(text, 16, ':') ||
        !hh || !mm || !ss || *hh > 23 || *mm > 59 || *ss > 59) {
        return std::nullopt;
    }
    at.hour = *hh;
    at.minute = *mm;
    at.second = *ss;
    return at;
}

LocalDateTime add_minutes(const LocalDateTime& at, int minutes) {
    const auto moment = sys_days(at.date) + hours(at.hour) + std::chrono::minutes(at.minute) +
                        seconds(at.second) + std::chrono::minutes(minutes);
    const auto day_start = floor<days>(moment);
    const hh_mm_ss clock(moment - day_start);
    return {year_month_day(day_start), static_cast<int>(clock.hours().count()),
            static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count())};
}

}  // namespace ordano
