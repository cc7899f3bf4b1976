// SPDX-License-Identifier: Apache-2.0
#include "platform/LocalTime.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "fixtures/Environment.h"

namespace ordano {
namespace {

TEST(LocalTime, FollowsTheWorkstationsTimeZone) {
    const char* tz = std::getenv("TZ");
    const std::optional<std::string> saved = tz != nullptr ? std::optional(tz) : std::nullopt;
    test::set_time_zone("MST7");  // seven hours behind UTC, no summer time

    const std::tm epoch = local_time(0);
    EXPECT_EQ(epoch.tm_year, 69);
    EXPECT_EQ(epoch.tm_mon, 11);
    EXPECT_EQ(epoch.tm_mday, 31);
    EXPECT_EQ(epoch.tm_hour, 17);
    const std::tm later = local_time(1770000000);  // 2026-02-02 02:40:00 UTC
    EXPECT_EQ(later.tm_mday, 1);
    EXPECT_EQ(later.tm_hour, 19);
    EXPECT_EQ(later.tm_min, 40);

    test::set_time_zone(saved);
}

}  // namespace
}  // namespace ordano
