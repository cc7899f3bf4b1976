// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "transfer/DeskWork.h"

namespace ordano {

class Office;

// The engine's front end for a terminal: its questions are answered by the caller's UI port
// on the asking job's thread, which may block there (a typed password, a script's answer) as
// the terminal has no window thread to keep free. Nobody shows the bulletin. A failure nobody
// foresaw is kept for the caller that waits for the work, to be raised again there.
class WaitingFrontEnd final : public ImmediateFrontEnd {
public:
    using ImmediateFrontEnd::ImmediateFrontEnd;

    [[nodiscard]] bool shows_bulletin() const override { return false; }
    bool take_unforeseen(std::exception_ptr error) override;
    // Raises the failure kept since the last call, if any.
    void rethrow_unforeseen();

private:
    std::mutex mutex_;
    std::exception_ptr unforeseen_;
};

// The desk's work done by an engine of its own, for a front end that waits for it (ordano-cli's
// send, receive and watch): each request goes through the engine's gate and turn as the
// window's do, and the call returns once the engine is idle again. One caller at a time.
class EngineDeskWork final : public DeskWork {
public:
    // `terminal` answers the engine's questions (WaitingFrontEnd).
    EngineDeskWork(Office& office, UiPort& terminal);
    EngineDeskWork(const EngineDeskWork&) = delete;
    EngineDeskWork& operator=(const EngineDeskWork&) = delete;

    [[nodiscard]] TransferDesk& desk() override { return engine_.desk(); }
    bool run(Run run) override;
    void with_turn(std::function<void()> work) override;

    [[nodiscard]] Engine& engine() { return engine_; }

private:
    void ask(Run run);
    void wait();

    WaitingFrontEnd front_;
    Engine engine_;
    // The thread of the request being asked for, and whether the gate refused it (told on that
    // thread, which alone sets and reads it).
    std::atomic<std::thread::id> asker_;
    bool refused_ = false;
};

}  // namespace ordano
