// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <thread>

#include "platform/StopRequests.h"

namespace ordano {

// Two requests to stop, each made by one call of `request(n)` (n = 0, 1), reach the handler
// with their exit statuses, on a thread other than the test's; the first decides the status.
inline void expect_requests_reach_the_handler(const std::function<void(int n)>& request,
                                              int first_status, int second_status) {
    std::promise<std::thread::id> first;
    std::promise<int> second;
    int calls = 0;
    {
        StopRequests stops([&](int status) {
            if (++calls == 1) {
                first.set_value(std::this_thread::get_id());
                EXPECT_EQ(status, first_status);
            } else {
                second.set_value(status);
            }
        });
        EXPECT_EQ(stops.exit_status(), 0);
        request(0);
        auto handler_thread = first.get_future();
        ASSERT_EQ(handler_thread.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_NE(handler_thread.get(), std::this_thread::get_id());

        request(1);
        auto status = second.get_future();
        ASSERT_EQ(status.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(status.get(), second_status);
        EXPECT_EQ(stops.exit_status(), first_status);
    }
    EXPECT_EQ(calls, 2);
}

}  // namespace ordano
