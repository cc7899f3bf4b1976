// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <csignal>

#include "platform/StopRequests.h"
#include "platform/StopRequestsCheck.h"

namespace ordano {
namespace {

void record_signal(int) {}

TEST(StopRequests, EachRequestReachesTheHandlerOnItsOwnThread) {
    expect_requests_reach_the_handler([](int n) { raise(n == 0 ? SIGTERM : SIGINT); }, 143, 130);
}

TEST(StopRequests, GivesBackThePreviousHandlingAndAllowsOneInstance) {
    struct sigaction mine {};
    mine.sa_handler = &record_signal;
    sigemptyset(&mine.sa_mask);
    struct sigaction before {};
    sigaction(SIGTERM, &mine, &before);
    {
        StopRequests stops([](int) {});
        EXPECT_THROW(StopRequests([](int) {}), std::logic_error);
    }
    struct sigaction after {};
    sigaction(SIGTERM, &before, &after);
    EXPECT_EQ(after.sa_handler, &record_signal);
}

// A stop sent as a command finishes (its work done, its handling gone) used to kill it with the
// signal instead of letting it end with the work's status.
TEST(StopRequestsDeathTest, ARequestAfterTheWorkEndedLeavesTheStatusAsItIs) {
    EXPECT_EXIT(
        {
            {
                StopRequests stops([](int) {});
                stops.ignore_requests_afterwards();
            }
            raise(SIGTERM);
            raise(SIGINT);
            std::exit(4);
        },
        ::testing::ExitedWithCode(4), "");
}

}  // namespace
}  // namespace ordano
