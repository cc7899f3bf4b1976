// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>

#include "base/UiPort.h"
#include "cli/Cli.h"
#include "cli/ExitCodes.h"

namespace ordano::cli {

// The UI port of ordano-cli: messages go to standard error, the first line after the
// command's prefix ("ordano-cli send: "); a question is answered Yes only when --yes was
// given and refused otherwise; blocking work runs inline (there are no window events to let
// through). With -q only errors and questions are told; with -v the FTP conversation is too.
// Nobody watches a script: the same question asked again right after it was answered (a retry
// that keeps failing) is answered Yes at most kSameQuestionYes times in a row, then No, so
// --yes never retries forever.
//
// The failures the blocking work lets through are gathered by the status of their cause, so
// that the command can end with the status that says why: those a message then told, and all
// of them, told or handled quietly (a transfer that broke ends a sending run without a word).
class TerminalUi : public UiPort {
public:
    // Checks the payment password from wherever this command takes it; true when accepted.
    using PasswordPrompt = std::function<bool()>;

    static constexpr int kSameQuestionYes = 3;

    TerminalUi(bool yes, std::ostream& out, Verbosity verbosity = Verbosity::Normal,
               std::string prefix = {});

    void set_password_prompt(PasswordPrompt prompt) { password_prompt_ = std::move(prompt); }

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption = kProductName) override;
    bool ask_payment_password() override;
    void run_blocking(const std::function<void()>& work) override;
    void yield() override {}
    [[nodiscard]] bool wants_ftp_steps() const override { return verbosity_ == Verbosity::Verbose; }
    void ftp_step(std::string_view line) override;
    void remark(std::string_view text) override;

    [[nodiscard]] const ExitCause& failures_told() const { return told_; }
    // Those met since the last call, told or not.
    [[nodiscard]] ExitCause take_failures_met();
    // The text of the last message told since the last call; empty when none.
    [[nodiscard]] std::string take_last_message();

private:
    [[nodiscard]] bool answer_yes(std::string_view question);

    bool yes_;
    std::ostream& out_;
    std::mutex steps_;  // sessions side by side tell their steps from their own threads
    Verbosity verbosity_;
    std::string prefix_;
    std::string last_question_;
    int same_question_yes_ = 0;
    PasswordPrompt password_prompt_;
    std::string last_message_;
    ExitCause told_;
    ExitCause met_;
    int last_failure_ = 0;  // of the last blocking call, until a message tells it
};

}  // namespace ordano::cli
