// SPDX-License-Identifier: Apache-2.0
#include "engine/EngineTurn.h"

namespace ordano {

void EngineTurn::lock() {
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = next_ticket_++;
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
