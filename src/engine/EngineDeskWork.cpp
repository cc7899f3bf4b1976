// SPDX-License-Identifier: Apache-2.0
#include "engine/EngineDeskWork.h"

#include <utility>

namespace ordano {

bool WaitingFrontEnd::take_unforeseen(std::exception_ptr error) {
    const std::lock_guard lock(mutex_);
    if (!unforeseen_) {
        unforeseen_ = std::move(error);  // the first: what followed came of it
    }
    return true;
}

void WaitingFrontEnd::rethrow_unforeseen() {
    std::exception_ptr error;
    {
        const std::lock_guard lock(mutex_);
        error = std::exchange(unforeseen_, nullptr);
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

EngineDeskWork::EngineDeskWork(Office& office, UiPort& terminal)
    : front_(terminal), engine_(office, front_) {
    // Refusals are told on the asking thread: those told on the thread of run() are its own.
    engine_.on_refused([this](std::string_view reason) {
        if (std::this_thread::get_id() == asker_) {
            refused_ = true;
            engine_.ui().message(reason, MessageIcon::Information, MessageButtons::Ok);
        }
    });
}

bool EngineDeskWork::run(Run run) {
    refused_ = false;
    asker_ = std::this_thread::get_id();
    ask(run);
    asker_ = std::thread::id();
    if (refused_) {
        return false;
    }
    wait();
    return true;
}

void EngineDeskWork::ask(Run run) {
    switch (run) {
        case Run::Send:
            engine_.send();
            return;
        case Run::Receive:
            engine_.receive();
            return;
        case Run::Look:
            engine_.tick();
            return;
    }
}

void EngineDeskWork::with_turn(std::function<void()> work) {
    engine_.with_turn(Request::EditLists, std::move(work));
    wait();
}

void EngineDeskWork::wait() {
    engine_.wait_idle();
    front_.rethrow_unforeseen();
}

}  // namespace ordano
