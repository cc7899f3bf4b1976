// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>
#include <vector>

namespace ordano {

// The state of the reception polling timer tmrPreVal. The core switches it; the window mirrors
// it with a real timer that calls the polling tick while it is enabled.
class PollingTimer {
public:
    static constexpr int kFirstInterval = 2000;  // milliseconds
    static constexpr int kInterval = 5000;

    using Listener = std::function<void(bool enabled, int interval_ms)>;

    void subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }

    [[nodiscard]] bool enabled() const { return enabled_; }
    [[nodiscard]] int interval() const { return interval_; }

    void set_enabled(bool on);
    void set_interval(int ms);

private:
    void notify() const;

    bool enabled_ = false;
    int interval_ = kFirstInterval;
    std::vector<Listener> listeners_;
};

}  // namespace ordano
