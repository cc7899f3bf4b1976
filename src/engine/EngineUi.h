// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <mutex>
#include <stop_token>
#include <thread>

#include "base/UiPort.h"

namespace ordano {

class EngineTurn;
class FrontEnd;

// The UI port of the engine's jobs. A job's thread holds the engine's turn; this port gives the
// turn away while the job waits: during blocking work (a transfer), while a question waits for
// the person's answer, and for a moment at each yield, so that what was asked meanwhile is done
// between two steps. Messages with OK only are shown without waiting. A stop of the program's
// work ends a wait for an answer at once, answered No.
// Made on the front end's own thread (the window's), which shows the boxes: a question asked
// there that is not answered at once is a breach of the engine's rules (RuleCheck.h), as the
// wait would never end.
class EngineUi final : public UiPort {
public:
    EngineUi(EngineTurn& turn, FrontEnd& front, std::stop_token stop)
        : turn_(turn), front_(front), stop_(std::move(stop)) {}

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption = kProductName) override;
    MessageAnswer detailed_message(std::string_view text, std::string_view details,
                                   MessageIcon icon, MessageButtons buttons,
                                   std::optional<std::string_view> caption = kProductName) override;
    bool ask_payment_password() override;
    void run_blocking(const std::function<void()>& work) override;
    void yield() override;
    void progress(const Progress& report) override;
    void remark(std::string_view text) override;
    [[nodiscard]] bool wants_ftp_steps() const override;
    void ftp_step(std::string_view line) override;

private:
    void check_may_wait(bool answered) const;

    EngineTurn& turn_;
    FrontEnd& front_;
    std::stop_token stop_;
    std::thread::id front_thread_ = std::this_thread::get_id();
    std::mutex asking_;     // one call into the front end at a time
    std::mutex reporting_;  // progress and FTP steps, from the transfers' threads
};

}  // namespace ordano
