// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/UiPort.h"

namespace ordano {

// A message for the person, as a box shows it.
struct Notice {
    std::string text;
    std::string details;  // the "Detalles" of a failure; empty for none
    MessageIcon icon = MessageIcon::None;
    std::optional<std::string> caption = std::string(kProductName);  // nullopt: the program's title
};

// The person in front of the program, as the engine reaches them from its threads. Nothing here
// waits for the person: a question's answer comes through its function, at once or later, from
// any thread. The window shows boxes that do not hold its thread; ImmediateFrontEnd answers at
// once, on the asking thread (the terminal's WaitingFrontEnd, the window's tests).
class FrontEnd {
public:
    using Answer = std::function<void(MessageAnswer)>;  // Yes or No
    using PasswordAnswer = std::function<void(bool accepted)>;

    virtual ~FrontEnd() = default;

    // A message with OK only: nobody waits for it to be closed.
    virtual void tell(Notice notice) = 0;
    // A Yes/No question.
    virtual void ask(Notice question, Answer answer) = 0;
    // The payment-password prompt: accepted (the typed password is the office's) or not.
    virtual void ask_payment_password(PasswordAnswer answer) = 0;

    // How blocking work runs once the engine has let go of its turn (the command line counts
    // the failures it lets through); called on the job's thread.
    virtual void run_blocking(const std::function<void()>& work) { work(); }
    // Called on the thread that moves the bytes.
    virtual void progress(const Progress& /*report*/) {}
    // A remark said once that asks nothing (see UiPort::remark); from any thread.
    virtual void remark(std::string_view /*text*/) {}
    [[nodiscard]] virtual bool wants_ftp_steps() const { return false; }
    virtual void ftp_step(std::string_view /*line*/) {}

    // Runs `then` once every message told or asked so far has been seen (at once where they
    // are seen as soon as they are told).
    virtual void after_messages(std::function<void()> then) { then(); }

    // Whether the bulletin is shown: a sending run refreshes it only then.
    [[nodiscard]] virtual bool shows_bulletin() const { return true; }
    // Work that ended by an exception nobody caught: true when the front end takes it, to raise
    // it where the work was asked for (the command line waits for its work); otherwise the
    // engine tells it as an unexpected error, and a stop (RunStopped) is no error at all.
    virtual bool take_unforeseen(std::exception_ptr /*error*/) { return false; }

    // A window lends the front end it is shown through its payment-password prompt (which
    // shows itself and answers later) and its progress display, and takes them back (empty
    // functions) before it goes. Front ends that answer for themselves ignore them.
    using PasswordPrompt = std::function<void(PasswordAnswer answer)>;
    using ProgressDisplay = std::function<void(const Progress&)>;
    virtual void set_payment_password_prompt(PasswordPrompt /*prompt*/) {}
    virtual void set_progress_display(ProgressDisplay /*display*/) {}
};

// A front end over a UI port that answers as soon as it is asked, on the asking thread.
class ImmediateFrontEnd : public FrontEnd {
public:
    explicit ImmediateFrontEnd(UiPort& port) : port_(port) {}

    void tell(Notice notice) override {
        port_.detailed_message(notice.text, notice.details, notice.icon, MessageButtons::Ok,
                               caption(notice));
    }
    void ask(Notice question, Answer answer) override {
        answer(port_.detailed_message(question.text, question.details, question.icon,
                                      MessageButtons::YesNo, caption(question)));
    }
    void ask_payment_password(PasswordAnswer answer) override {
        answer(port_.ask_payment_password());
    }
    void run_blocking(const std::function<void()>& work) override { port_.run_blocking(work); }
    void progress(const Progress& report) override { port_.progress(report); }
    void remark(std::string_view text) override { port_.remark(text); }
    [[nodiscard]] bool wants_ftp_steps() const override { return port_.wants_ftp_steps(); }
    void ftp_step(std::string_view line) override { port_.ftp_step(line); }

    [[nodiscard]] UiPort& port() { return port_; }

private:
    static std::optional<std::string_view> caption(const Notice& notice) {
        return notice.caption ? std::optional<std::string_view>(*notice.caption) : std::nullopt;
    }

    UiPort& port_;
};

}  // namespace ordano
