// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>

namespace ordano {

class TransferDesk;

// How a front end that waits for its work (the command line, an unattended watch) has the
// transfer desk's work done: by whoever owns the desk and the turn on it (the engine, in
// EngineDeskWork). Each call returns once its work has ended; what the work threw is thrown
// again here.
class DeskWork {
public:
    enum class Run {
        Send,     // the sending run (Enviar)
        Receive,  // the manual reception (Recibir)
        Look,     // one look at the server for the awaited answers (a polling tick)
    };

    virtual ~DeskWork() = default;

    // The desk, to read between calls; its lists change only through with_turn and run.
    [[nodiscard]] virtual TransferDesk& desk() = 0;
    // Runs `run` to its end; false when it was refused (the reason is told to the person).
    virtual bool run(Run run) = 0;
    // Work on the desk's lists, holding the turn on them.
    virtual void with_turn(std::function<void()> work) = 0;

protected:
    DeskWork() = default;
    DeskWork(const DeskWork&) = default;
    DeskWork& operator=(const DeskWork&) = default;
};

}  // namespace ordano
