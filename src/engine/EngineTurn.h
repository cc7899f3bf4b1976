// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>

#include "base/RuleCheck.h"

namespace ordano {

// The core's state (the lists, the journal's recorder, the sessions' bookkeeping, the office's
// run-time values) is worked on by one thread at a time: the one that holds the turn. A job
// holds it from its start to its end except while it waits (on the network, for an answer from
// the person), so that what is asked meanwhile is done between two of its steps, as when the
// window let its events through while a transfer ran. Fair: turns are given in the order they
// were asked for, so a job that gives its turn away and asks again comes after those waiting.
// The turn records the thread that holds it, so that the core's lists and desk can check that
// they are changed by that thread alone (RuleCheck.h).
class EngineTurn final : public TurnKeeper {
public:
    void lock() { wait_for(queue_up()); }
    void unlock();
    // A place in the order of turns, taken now and waited for later, perhaps on another thread
    // (a job is in the order from the moment it is started, not from when its thread runs).
    [[nodiscard]] std::uint64_t queue_up();
    void wait_for(std::uint64_t ticket);
    // A place taken that will never be waited for (its thread could not start): the turn
    // passes over it, or everyone after it would wait for ever.
    void give_back(std::uint64_t ticket);
    // Takes the turn only when nobody holds it or waits for it.
    [[nodiscard]] bool try_lock();
    [[nodiscard]] bool held_here() const override {
        return holder_.load() == std::this_thread::get_id();
    }

private:
    void pass_given_back();  // with mutex_ held

    std::mutex mutex_;
    std::condition_variable served_;
    std::uint64_t next_ticket_ = 0;
    std::uint64_t serving_ = 0;
    std::set<std::uint64_t> given_back_;
    std::atomic<std::thread::id> holder_{};
};

// Gives the turn away for its life (a wait), and takes it again, in order, at its end.
class TurnReleased {
public:
    explicit TurnReleased(EngineTurn& turn) : turn_(turn) { turn_.unlock(); }
    ~TurnReleased() { turn_.lock(); }
    TurnReleased(const TurnReleased&) = delete;
    TurnReleased& operator=(const TurnReleased&) = delete;

private:
    EngineTurn& turn_;
};

}  // namespace ordano
