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
    holder_.store(std::this_thread::get_id());
}

void EngineTurn::unlock() {
    {
        const std::lock_guard lock(mutex_);
        holder_.store(std::thread::id{});
        ++serving_;
        pass_given_back();
    }
    served_.notify_all();
}

void EngineTurn::give_back(std::uint64_t ticket) {
    {
        const std::lock_guard lock(mutex_);
        given_back_.insert(ticket);
        pass_given_back();
    }
    served_.notify_all();
}

void EngineTurn::pass_given_back() {
    while (given_back_.erase(serving_) > 0) {
        ++serving_;
    }
}

bool EngineTurn::try_lock() {
    const std::lock_guard lock(mutex_);
    if (next_ticket_ != serving_) {
        return false;
    }
    ++next_ticket_;
    holder_.store(std::this_thread::get_id());
    return true;
}

}  // namespace ordano
