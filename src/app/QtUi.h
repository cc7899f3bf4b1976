// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

#include "store/UiPort.h"

namespace ordano {

// The window side of the UI port: message boxes, the payment-password prompt, blocking work
// that keeps the windows alive, and yielding to window events.
class QtUi final : public UiPort {
public:
    QtUi() = default;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    // The payment-password window, installed by the window that owns it.
    void set_payment_password_prompt(PasswordPrompt prompt) override {
        password_prompt_ = std::move(prompt);
    }

    // Where progress reports are shown, installed by the window that shows them; reports come
    // from the thread that runs the transfer and are handed to `context`'s thread, the latest
    // one only when they come faster than the window takes them. Nothing is shown once
    // `context` is gone or while no display is installed.
    void set_progress_display(QObject* context, ProgressDisplay display);
    // The same, shown on the thread that made this port (the windows' thread).
    void set_progress_display(ProgressDisplay display) override {
        set_progress_display(&window_thread_, std::move(display));
    }

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption = kProductName) override;
    // The box gains a "Detalles" section holding `details`, when there are any.
    MessageAnswer detailed_message(std::string_view text, std::string_view details,
                                   MessageIcon icon, MessageButtons buttons,
                                   std::optional<std::string_view> caption = kProductName) override;
    // False (not accepted) while no prompt is installed.
    bool ask_payment_password() override;
    void run_blocking(const std::function<void()>& work) override;
    void yield() override;
    void progress(const Progress& report) override;

private:
    void show_latest_progress();

    QObject window_thread_;  // lives on the windows' thread; its posted reports die with it
    PasswordPrompt password_prompt_;
    std::mutex progress_mutex_;
    QPointer<QObject> progress_context_;
    ProgressDisplay progress_display_;
    std::optional<Progress> pending_progress_;  // posted to the window, not shown yet
};

// The title of boxes shown without a caption of their own.
[[nodiscard]] QString default_title();

}  // namespace ordano
