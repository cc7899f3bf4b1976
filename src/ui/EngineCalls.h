// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>

#include <utility>

#include "engine/Engine.h"
#include "ui/WindowThread.h"

namespace ordano {

// Runs `work` with the engine's turn and then `done(result)` on `context`'s thread: both at once
// when the engine is free (as if the window did it itself), else when the turn comes. `context`
// must outlive the engine's threads (the window destroys its engine first).
template <typename Work, typename Done>
void with_turn_then(Engine& engine, QObject* context, Request request, Work work, Done done) {
    engine.with_turn(request, [context, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        on_thread_of(context, [done = std::move(done), result = std::move(result)]() mutable {
            done(std::move(result));
        });
    });
}

}  // namespace ordano
