#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "store/UiPort.h"

namespace ordano::cli {

// The UI port of ordano-cli: messages go to standard error, a question is answered Yes only
// when --yes was given and refused otherwise, blocking work runs inline (there are no window
// events to let through). Nobody watches a script: the same question asked again right after
// it was answered (a retry that keeps failing) is answered Yes at most kSameQuestionYes times
// in a row, then No, so --yes never retries forever.
class TerminalUi : public UiPort {
public:
    // Checks the payment password from wherever this command takes it; true when accepted.
    using PasswordPrompt = std::function<bool()>;

    static constexpr int kSameQuestionYes = 3;

    explicit TerminalUi(bool yes, std::ostream& out);

    void set_password_prompt(PasswordPrompt prompt) { password_prompt_ = std::move(prompt); }

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption = kProductName) override;
    bool ask_payment_password() override;
    void run_blocking(const std::function<void()>& work) override { work(); }
    void yield() override {}

private:
    [[nodiscard]] bool answer_yes(std::string_view question);

    bool yes_;
    std::ostream& out_;
    std::string last_question_;
    int same_question_yes_ = 0;
    PasswordPrompt password_prompt_;
};

}  // namespace ordano::cli
