// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Errors.h"

namespace ordano {
namespace {
using namespace std::chrono;

TEST(DateTime, JulianDayCountsFromTheFirstOfJanuary) {
    EXPECT_EQ(day_of_year(2026y / January / 1), 1);
    EXPECT_EQ(day_of_year(2026y / February / 2), 33);
    EXPECT_EQ(day_of_year(2025y / December / 31), 365);
    EXPECT_EQ(day_of_year(2024y / December / 31), 366);
    EXPECT_EQ(day_of_year(2024y / March / 1), 61);
}

TEST(DateTime, TwelveHourClockWithDesignator) {
    const LocaleFormats mx;
    EXPECT_EQ(time_hh_mm_ampm({2026y / December / 7, 0, 5, 9}, mx), "12:05 a.m.");
    EXPECT_EQ(time_hh_mm_ampm({2026y / December / 7, 12, 0, 0}, mx), "12:00 p.m.");
    EXPECT_EQ(time_hh_mm_ss_ampm({2026y / December / 7, 21, 7, 3}, mx), "09:07:03 p.m.");
}

TEST(DateTime, ShortDatesInTheOfficeForm) {
    const LocaleFormats mx;
    EXPECT_EQ(short_date(2026y / February / 3, mx), "03/02/2026");
    EXPECT_EQ(parse_short_date("03/02/2026", mx), 2026y / February / 3);
    EXPECT_EQ(parse_short_date("3/2/2026", mx), 2026y / February / 3);
    LocaleFormats us;
    us.date_order = LocaleFormats::DateOrder::MonthDayYear;
    EXPECT_EQ(short_date(2026y / February / 3, us), "02/03/2026");
}

TEST(DateTime, TwoDigitYearsFallBetween1930And2029) {
    const LocaleFormats mx;
    EXPECT_EQ(parse_short_date("5/12/19", mx), 2019y / December / 5);
    EXPECT_EQ(parse_short_date("05/12/00", mx), 2000y / December / 5);
    EXPECT_EQ(parse_short_date("5/12/29", mx), 2029y / December / 5);
    EXPECT_EQ(parse_short_date("5/12/30", mx), 1930y / December / 5);
    EXPECT_EQ(parse_short_date("5/12/99", mx), 1999y / December / 5);
    EXPECT_EQ(parse_short_date("5/12/7", mx), 2007y / December / 5);
    LocaleFormats us;
    us.date_order = LocaleFormats::DateOrder::MonthDayYear;
    EXPECT_EQ(parse_short_date("5/12/19", us), 2019y / May / 12);
}

TEST(DateTime, RejectsTextsThatAreNotDates) {
    const LocaleFormats mx;
    for (const char* bad : {"", "31/02/2026", "12/13/2026", "01-02-2026", "1/2/026", "1/2/-5",
                            "aa/bb/cccc", "01/02/2026x"}) {
        EXPECT_THROW((void)parse_short_date(bad, mx), FormatError) << bad;
    }
    EXPECT_EQ(parse_iso_date("2026-12-07"), 2026y / December / 7);
    EXPECT_EQ(parse_iso_date("2026-12-07 00:00:00"), 2026y / December / 7);
    EXPECT_THROW((void)parse_iso_date("07/12/2026"), FormatError);
}

}  // namespace
}  // namespace ordano
