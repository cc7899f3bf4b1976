// SPDX-License-Identifier: Apache-2.0
#include "transfer/PollingTimer.h"

namespace ordano {

void PollingTimer::set_enabled(bool on) {
    if (enabled_ == on) {
        return;
    }
    enabled_ = on;
    notify();
}

void PollingTimer::set_interval(int ms) {
    if (interval_ == ms) {
        return;
    }
    interval_ = ms;
    notify();
}

void PollingTimer::notify() const {
    for (const auto& listener : listeners_) {
        listener(enabled_, interval_);
    }
}

}  // namespace ordano
