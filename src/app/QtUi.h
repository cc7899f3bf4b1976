#pragma once

#include <QString>

#include <functional>

#include "store/UiPort.h"

namespace ordano {

// The window side of the UI port: message boxes, the payment-password prompt, blocking work
// that keeps the windows alive, and yielding to window events.
class QtUi final : public UiPort {
public:
    using PasswordPrompt = std::function<bool()>;

    QtUi() = default;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    // The payment-password window, installed by the window that owns it.
    void set_payment_password_prompt(PasswordPrompt prompt) {
        password_prompt_ = std::move(prompt);
    }

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption = kProductName) override;
    // False (not accepted) while no prompt is installed.
    bool ask_payment_password() override;
    void run_blocking(const std::function<void()>& work) override;
    void yield() override;

private:
    PasswordPrompt password_prompt_;
};

// The title of boxes shown without a caption of their own.
[[nodiscard]] QString default_title();

}  // namespace ordano
