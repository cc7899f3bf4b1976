// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <mutex>
#include <stop_token>

#include "base/UiPort.h"

namespace ordano {

class EngineTurn;
class FrontEnd;

// The UI port of the engine's jobs. A job's thread holds the engine's turn; this port gives the
// turn away while the job waits: during blocking work (a transfer), while a question waits for
// the person's answer, and for a moment at each yield, so that what was asked meanwhile is done
// between two steps. Messages with OK only are shown without waiting. A stop of the program's
// work ends a wait for an answer at once, answered No.
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
    EngineTurn& turn_;
    FrontEnd& front_;
    std::stop_token stop_;
    std::mutex asking_;     // one call into the front end at a time
    std::mutex reporting_;  // progress and FTP steps, from the transfers' threads
};

}  // namespace ordano
