// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "engine/FrontEnd.h"

#include <QMessageBox>

namespace ordano {

// The window side of the engine's front end: message boxes, the payment-password prompt and
// the progress display, all shown on the windows' thread without holding it. What the engine's
// jobs tell and ask comes one at a time, in the order it was asked for: a message never covers
// a question, and a question's answer is given when its box is closed. A box the windows
// themselves show (the answer to something the person just did, perhaps in a prompt that is
// up) is shown at once. Safe from any thread.
class QtUi final : public FrontEnd {
public:
    QtUi() = default;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    void tell(Notice notice) override;
    void ask(Notice question, Answer answer) override;
    // Refused (not accepted) while no prompt is installed.
    void ask_payment_password(PasswordAnswer answer) override;
    void progress(const Progress& report) override;
    // In the main window's status bar (`stbPrincipal`) for a while.
    void remark(std::string_view text) override;
    void after_messages(std::function<void()> then) override;

    // The payment-password window, installed by the window that owns it.
    void set_payment_password_prompt(PasswordPrompt prompt) override;
    // Where progress reports are shown; reports come from the thread that runs the transfer
    // and are handed to `context`'s thread, the latest one only when they come faster than the
    // window takes them. Nothing is shown once `context` is gone or while no display is
    // installed.
    void set_progress_display(QObject* context, ProgressDisplay display);
    // The same, shown on the thread that made this port (the windows' thread).
    void set_progress_display(ProgressDisplay display) override {
        set_progress_display(&window_thread_, std::move(display));
    }

    // The box on screen (the last one shown), if any.
    [[nodiscard]] QMessageBox* current_box() const;

private:
    struct Pending {
        Notice notice;
        bool question = false;
        Answer answer;            // a question's
        PasswordAnswer password;  // the payment-password prompt's
    };

    void enqueue(Pending pending);
    void show_next();
    QMessageBox* show_box(Pending pending);
    void done_showing();
    void forget_closed();
    void tell_if_all_seen();
    void show_latest_progress();

    QObject window_thread_;  // lives on the windows' thread; what is posted to it dies with it
    // On the windows' thread only:
    std::deque<Pending> queue_;
    bool showing_ = false;
    std::vector<QPointer<QMessageBox>> boxes_;  // on screen
    std::vector<std::function<void()>> after_;
    PasswordPrompt password_prompt_;

    std::mutex progress_mutex_;
    QPointer<QObject> progress_context_;
    ProgressDisplay progress_display_;
    std::optional<Progress> pending_progress_;  // posted to the window, not shown yet
};

// The title of boxes shown without a caption of their own.
[[nodiscard]] QString default_title();

}  // namespace ordano
