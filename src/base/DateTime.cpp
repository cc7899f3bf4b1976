// SPDX-License-Identifier: Apache-2.0
#include "base/DateTime.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "base/Errors.h"
#include "platform/LocalTime.h"

namespace ordano {
namespace {

using namespace std::chrono;

std::string two_digits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

int to_int(std::string_view s, std::string_view what) {
    int value = 0;
    const auto* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value);
    if (s.empty() || ec != std::errc() || ptr != end) {
        throw FormatError("\"" + std::string(what) + "\" no es una fecha válida");
    }
    return value;
}

year_month_day checked_date(int y, int m, int d, std::string_view original) {
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)},
                             day{static_cast<unsigned>(d)}};
    if (!ymd.ok() || y < 1 || m < 1 || d < 1) {
        throw FormatError("\"" + std::string(original) + "\" no es una fecha válida");
    }
    return ymd;
}

// A year of one or two digits is read in the window the office's Windows uses for them:
// 00-29 are 2000-2029 and 30-99 are 1930-1999. Four digits stand as they are.
int full_year(int year, std::string_view written, std::string_view original) {
    if (written.size() == 4) {
        return year;
    }
    if (written.size() > 2 || year < 0) {
        throw FormatError("\"" + std::string(original) + "\" no es una fecha válida");
    }
    return year < 30 ? 2000 + year : 1900 + year;
}

std::string twelve_hour(const LocalDateTime& at, bool with_seconds, const LocaleFormats& locale) {
    const int h12 = at.hour % 12 == 0 ? 12 : at.hour % 12;
    std::string out = two_digits(h12) + ":" + two_digits(at.minute);
    if (with_seconds) {
        out += ':';
        out += two_digits(at.second);
    }
    out += " ";
    out += at.hour < 12 ? locale.am : locale.pm;
    return out;
}

}  // namespace

LocalDateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    const std::tm local = local_time(t);
    return {
        year_month_day{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                       day{static_cast<unsigned>(local.tm_mday)}},
        local.tm_hour, local.tm_min, local.tm_sec};
}

int day_of_year(year_month_day date) {
    const sys_days first{date.year() / January / 1};
    return static_cast<int>((sys_days{date} - first).count()) + 1;
}

std::string iso_date(year_month_day date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return buf;
}

year_month_day parse_iso_date(std::string_view text) {
    const std::string_view date = text.substr(0, 10);
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') {
        throw FormatError("\"" + std::string(text) + "\" no es una fecha válida");
    }
    return checked_date(to_int(date.substr(0, 4), text), to_int(date.substr(5, 2), text),
                        to_int(date.substr(8, 2), text), text);
}

std::string short_date(year_month_day date, const LocaleFormats& locale) {
    const std::string d = two_digits(static_cast<int>(static_cast<unsigned>(date.day())));
    const std::string m = two_digits(static_cast<int>(static_cast<unsigned>(date.month())));
    char y[8];
    std::snprintf(y, sizeof y, "%04d", static_cast<int>(date.year()));
    const std::string& s = locale.date_separator;
    switch (locale.date_order) {
        case LocaleFormats::DateOrder::MonthDayYear:
            return m + s + d + s + y;
        case LocaleFormats::DateOrder::YearMonthDay:
            return y + s + m + s + d;
        case LocaleFormats::DateOrder::DayMonthYear:
            break;
    }
    return d + s + m + s + y;
}

year_month_day parse_short_date(std::string_view text, const LocaleFormats& locale) {
    std::string_view rest = text;
    std::string_view parts[3];
    for (int i = 0; i < 3; ++i) {
        const auto pos = i < 2 ? rest.find(locale.date_separator) : rest.size();
        if (pos == std::string_view::npos) {
            throw FormatError("\"" + std::string(text) + "\" no es una fecha válida");
        }
        parts[i] = rest.substr(0, pos);
        rest = i < 2 ? rest.substr(pos + locale.date_separator.size()) : std::string_view{};
    }
    int d = 0, m = 0, y = 0;
    switch (locale.date_order) {
        case LocaleFormats::DateOrder::DayMonthYear:
            d = to_int(parts[0], text), m = to_int(parts[1], text), y = to_int(parts[2], text);
            break;
        case LocaleFormats::DateOrder::MonthDayYear:
            m = to_int(parts[0], text), d = to_int(parts[1], text), y = to_int(parts[2], text);
            break;
        case LocaleFormats::DateOrder::YearMonthDay:
            y = to_int(parts[0], text), m = to_int(parts[1], text), d = to_int(parts[2], text);
            break;
    }
    const std::string_view year_part =
        locale.date_order == LocaleFormats::DateOrder::YearMonthDay ? parts[0] : parts[2];
    return checked_date(full_year(y, year_part, text), m, d, text);
}

std::string time_hh_mm_ampm(const LocalDateTime& at, const LocaleFormats& locale) {
    return twelve_hour(at, false, locale);
}

std::string time_hh_mm_ss_ampm(const LocalDateTime& at, const LocaleFormats& locale) {
    return twelve_hour(at, true, locale);
}

}  // namespace ordano
