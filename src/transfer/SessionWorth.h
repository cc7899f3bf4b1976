// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>

namespace ordano {

// Whether one more session pays for itself: once logged in (as long as the last login on this
// server took), there is still work left for it. The work left is the transfers not yet begun,
// each costing the mean of those ended, or, while none has, at least as long as the oldest one
// under way has been going; it is shared by the sessions logged in and logging in. A session
// never takes work before it has logged in, so a wrong guess costs a login, never time.
struct SessionWorth {
    using Clock = std::chrono::steady_clock;

    Clock::duration login{};  // zero: not known (each session is worth opening)
    std::size_t not_begun = 0;
    std::size_t sessions = 1;  // logged in or logging in
    std::optional<Clock::duration> mean_transfer;
    std::optional<Clock::time_point> oldest_under_way;  // when it began

    struct Answer {
        bool open = false;
        // When to ask again if nothing ends before (the oldest transfer's time then pays).
        std::optional<Clock::time_point> ask_again;
    };
    [[nodiscard]] Answer at(Clock::time_point now) const;
};

}  // namespace ordano
