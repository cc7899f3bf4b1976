// SPDX-License-Identifier: Apache-2.0
#include "engine/EngineTurn.h"

namespace ordano {

std::uint64_t EngineTurn::queue_up() {
    const std::lock_guard lock(mutex_);
    return next_ticket_++;
}

void EngineTurn::wait_for(std::uint64_t ticket) {
    std::unique_lock lock(mutex_);
    served_.wait(lock, [&] { return serving_ == ticket; });
}

void EngineTurn::unlock() {
    {
        const std::lock_guard lock(mutex_);
        ++serving_;
    }
    served_.notify_all();
}

bool EngineTurn::try_lock() {
    const std::lock_guard lock(mutex_);
    if (next_ticket_ != serving_) {
        return false;
    }
    ++next_ticket_;
    return true;
}

}  // namespace ordano
