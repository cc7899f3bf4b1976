// SPDX-License-Identifier: Apache-2.0
#include "cli/TerminalUi.h"

#include <ostream>
#include <string>
#include <utility>

#include "base/Errors.h"

namespace ordano::cli {
namespace {

// Message boxes break lines with CR LF; a terminal wants LF.
std::string terminal_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

TerminalUi::TerminalUi(bool yes, std::ostream& out, Verbosity verbosity, std::string prefix)
    : yes_(yes), out_(out), verbosity_(verbosity), prefix_(std::move(prefix)) {}

MessageAnswer TerminalUi::message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                  std::optional<std::string_view> /*caption*/) {
    // A failure counts once it is told: one met and handled quietly (an answer not there yet)
    // says nothing of how the command ended.
    if (last_failure_ != 0) {
        told_.add_number(last_failure_);
        last_failure_ = 0;
    }
    last_message_ = terminal_text(text);
    if (verbosity_ == Verbosity::Quiet && buttons == MessageButtons::Ok &&
        icon != MessageIcon::Critical) {
        return MessageAnswer::Ok;
    }
    out_ << prefix_ << terminal_text(text) << "\n";
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    if (!yes_) {
        out_ << "  -> No (pregunta rechazada; use --yes para responder Sí)\n";
        return MessageAnswer::No;
    }
    if (!answer_yes(text)) {
        out_ << "  -> No (la misma pregunta " << kSameQuestionYes + 1
             << " veces seguidas; no se reintenta más)\n";
        return MessageAnswer::No;
    }
    out_ << "  -> Sí (--yes)\n";
    return MessageAnswer::Yes;
}

bool TerminalUi::answer_yes(std::string_view question) {
    if (question != last_question_) {
        last_question_ = std::string(question);
        same_question_yes_ = 0;
    }
    if (same_question_yes_ >= kSameQuestionYes) {
        // The next different question starts counting afresh.
        last_question_.clear();
        return false;
    }
    ++same_question_yes_;
    return true;
}

void TerminalUi::run_blocking(const std::function<void()>& work) {
    try {
        work();
        last_failure_ = 0;
    } catch (const NumberedError& error) {
        last_failure_ = error.number();
        met_.add_number(error.number());
        throw;
    }
}

std::string TerminalUi::take_last_message() {
    return std::exchange(last_message_, std::string());
}

ExitCause TerminalUi::take_failures_met() {
    return std::exchange(met_, ExitCause{});
}

void TerminalUi::remark(std::string_view text) {
    if (verbosity_ != Verbosity::Quiet) {
        out_ << prefix_ << terminal_text(text) << "\n";
    }
}

void TerminalUi::ftp_step(std::string_view line) {
    const std::lock_guard lock(steps_);
    out_ << line << "\n";
}

bool TerminalUi::ask_payment_password() {
    if (password_prompt_) {
        return password_prompt_();
    }
    out_ << "Se requiere la contraseña de pago electrónico; esta orden no la pide.\n";
    return false;
}

}  // namespace ordano::cli
