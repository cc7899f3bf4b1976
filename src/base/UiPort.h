// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ordano {

// The caption of the program's message boxes, with its leading blank.
inline constexpr std::string_view kProductName = " PROGRAMA DE ORDANO A VALIDACIÓN";

// A question with the Question icon asks before something that cannot be undone (leaving the
// program, stopping the reception, taking files off a list): a window makes No its default
// answer, so that a stray Enter does no harm.
enum class MessageIcon { None, Information, Question, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Progress {
    std::string what;        // e.g. the file being transferred
    std::int64_t done = 0;   // bytes so far
    std::int64_t total = 0;  // 0 when not known
    int item = 0;            // "n of m" for multi-file work; 0 when not used
    int items = 0;
};

// How the core talks to the person in front of it. The window implements it with dialogs,
// the command line with the terminal, tests with a scripted fake.
class UiPort {
public:
    using PasswordPrompt = std::function<bool()>;
    using ProgressDisplay = std::function<void(const Progress&)>;

    virtual ~UiPort() = default;

    // caption: std::nullopt shows the application's default title instead of the product name.
    virtual MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                  std::optional<std::string_view> caption = kProductName) = 0;

    // The same message with `details` (for a failure: the server and port, the account, the
    // step and the FTP library's own words) in a section the person opens on demand. A port
    // without such a section shows the message alone; empty details add nothing.
    virtual MessageAnswer detailed_message(std::string_view text, std::string_view /*details*/,
                                           MessageIcon icon, MessageButtons buttons,
                                           std::optional<std::string_view> caption = kProductName) {
        return message(text, icon, buttons, caption);
    }

    // Shows the payment-password prompt modally; true when the typed password was accepted.
    virtual bool ask_payment_password() = 0;

    // Runs blocking work (a connection, a transfer); the core's turn is free for others
    // meanwhile (the engine gives it away; a single-threaded front end handles its own
    // events). Rethrows whatever the work threw.
    virtual void run_blocking(const std::function<void()>& work) = 0;

    // A moment for others between two steps of long work: the engine gives its turn away once
    // to whoever waits for it.
    virtual void yield() = 0;

    virtual void progress(const Progress& /*progress*/) {}

    // A remark said once, that asks nothing and holds nothing up: the window's status bar,
    // the terminal's standard error.
    virtual void remark(std::string_view /*text*/) {}

    // The FTP conversation line by line (commands and replies, never a password), for a port
    // that shows it; called on the thread that runs the transfer.
    [[nodiscard]] virtual bool wants_ftp_steps() const { return false; }
    virtual void ftp_step(std::string_view /*line*/) {}

    // A window lends the port it is shown through its payment-password prompt and its
    // progress display, and takes them back (empty functions) before it goes. A port that
    // shows windows uses them; the others (the terminal's, a test's) have their own ways and
    // ignore them.
    virtual void set_payment_password_prompt(PasswordPrompt /*prompt*/) {}
    virtual void set_progress_display(ProgressDisplay /*display*/) {}
};

// Passes everything to another port; a decorator overrides only what it changes.
class ForwardingUi : public UiPort {
public:
    explicit ForwardingUi(UiPort& inner) : inner_(inner) {}

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption) override {
        return inner_.message(text, icon, buttons, caption);
    }
    MessageAnswer detailed_message(std::string_view text, std::string_view details,
                                   MessageIcon icon, MessageButtons buttons,
                                   std::optional<std::string_view> caption) override {
        return inner_.detailed_message(text, details, icon, buttons, caption);
    }
    bool ask_payment_password() override { return inner_.ask_payment_password(); }
    void run_blocking(const std::function<void()>& work) override { inner_.run_blocking(work); }
    void yield() override { inner_.yield(); }
    void progress(const Progress& p) override { inner_.progress(p); }
    void remark(std::string_view text) override { inner_.remark(text); }
    [[nodiscard]] bool wants_ftp_steps() const override { return inner_.wants_ftp_steps(); }
    void ftp_step(std::string_view line) override { inner_.ftp_step(line); }
    void set_payment_password_prompt(PasswordPrompt prompt) override {
        inner_.set_payment_password_prompt(std::move(prompt));
    }
    void set_progress_display(ProgressDisplay display) override {
        inner_.set_progress_display(std::move(display));
    }

protected:
    [[nodiscard]] UiPort& inner() { return inner_; }

private:
    UiPort& inner_;
};

}  // namespace ordano
