// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <string>

namespace ordano {

struct LocalDateTime {
    std::chrono::year_month_day date;
    int hour = 0;  // 0-23
    int minute = 0;
    int second = 0;
};

// Today and the time of day, injectable so tests can pin them.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual LocalDateTime now() const = 0;
    [[nodiscard]] std::chrono::year_month_day today() const { return now().date; }
};

class SystemClock final : public Clock {
public:
    [[nodiscard]] LocalDateTime now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime at) : at_(at) {}
    [[nodiscard]] LocalDateTime now() const override { return at_; }
    void set(LocalDateTime at) { at_ = at; }

private:
    LocalDateTime at_;
};

// The workstation's number, date and time forms. Where the system locale defines none,
// the office's own es-MX forms apply.
struct LocaleFormats {
    std::string grouping = ",";
    std::string decimal = ".";
    std::string am = "a.m.";
    std::string pm = "p.m.";
    // Short date: day/month/four-digit year in es-MX.
    enum class DateOrder {
        DayMonthYear,
        MonthDayYear,
        YearMonthDay
    } date_order = DateOrder::DayMonthYear;
    std::string date_separator = "/";
};

// Day of the year: 1 for 1 January, 365 or 366 for 31 December.
[[nodiscard]] int day_of_year(std::chrono::year_month_day date);

// "YYYY-MM-DD", the form dates are stored in the database.
[[nodiscard]] std::string iso_date(std::chrono::year_month_day date);
// Reads "YYYY-MM-DD" (a trailing time part is ignored); throws FormatError.
[[nodiscard]] std::chrono::year_month_day parse_iso_date(std::string_view text);

// The workstation's short date ("07/12/2026" in es-MX).
[[nodiscard]] std::string short_date(std::chrono::year_month_day date, const LocaleFormats& locale);
// Reads a short date in the workstation's form; throws FormatError when it is not one.
[[nodiscard]] std::chrono::year_month_day parse_short_date(std::string_view text,
                                                           const LocaleFormats& locale);

// "hh:mm ampm" and "hh:mm:ss ampm": 12-hour clock, two digits, then the designator.
[[nodiscard]] std::string time_hh_mm_ampm(const LocalDateTime& at, const LocaleFormats& locale);
[[nodiscard]] std::string time_hh_mm_ss_ampm(const LocalDateTime& at, const LocaleFormats& locale);

}  // namespace ordano
