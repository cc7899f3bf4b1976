#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <thread>

#include "platform/StopRequests.h"

namespace ordano {
namespace {

void record_signal(int) {}

TEST(StopRequests, EachRequestReachesTheHandlerOnItsOwnThread) {
    std::promise<std::thread::id> first;
    std::promise<int> second;
    int calls = 0;
    {
        StopRequests stops([&](int status) {
            if (++calls == 1) {
                first.set_value(std::this_thread::get_id());
                EXPECT_EQ(status, 143);
            } else {
                second.set_value(status);
            }
        });
        EXPECT_EQ(stops.exit_status(), 0);
        raise(SIGTERM);
        auto handler_thread = first.get_future();
        ASSERT_EQ(handler_thread.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_NE(handler_thread.get(), std::this_thread::get_id());

        raise(SIGINT);
        auto status = second.get_future();
        ASSERT_EQ(status.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(status.get(), 130);
        EXPECT_EQ(stops.exit_status(), 143);  // the first request decides
    }
    EXPECT_EQ(calls, 2);
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

}  // namespace
}  // namespace ordano
