// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <algorithm>
#include <chrono>

namespace ordano {

// The wait before the next try at a server that could not be reached: the first wait, then
// twice as long at each failure in a row, never longer than the cap; a success starts again.
class RetryBackoff {
public:
    explicit RetryBackoff(std::chrono::seconds first,
                          std::chrono::seconds cap = std::chrono::minutes(10))
        : first_(first), cap_(std::max(cap, first)) {}

    // One more failure in a row; returns the wait before the next try.
    std::chrono::seconds failed() {
        wait_ = failures_ == 0 ? first_ : std::min(wait_ * 2, cap_);
        ++failures_;
        return wait_;
    }
    void succeeded() { failures_ = 0; }
    [[nodiscard]] bool failing() const { return failures_ > 0; }

private:
    std::chrono::seconds first_;
    std::chrono::seconds cap_;
    std::chrono::seconds wait_{0};
    int failures_ = 0;
};

}  // namespace ordano
