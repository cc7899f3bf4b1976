// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <set>
#include <string>

#include "base/UiPort.h"

namespace ordano {

// The UI port of an unattended watch, over the front end's. Nobody is there to answer: every
// question is answered No (a file that meets a local fault stays for the next pass) and the
// payment password is asked of the front end only when one was given. A message already said
// is not said again until a pass has gone by without messages, so an outage or a fault that
// lasts is told once, not at every try. Nobody watches progress either.
class WatchUi final : public ForwardingUi {
public:
    WatchUi(UiPort& inner, bool payment_password) : ForwardingUi(inner), given_(payment_password) {}

    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption) override;
    // A failure of the server comes with its details: said once all the same.
    MessageAnswer detailed_message(std::string_view text, std::string_view details,
                                   MessageIcon icon, MessageButtons buttons,
                                   std::optional<std::string_view> caption) override;
    bool ask_payment_password() override;
    void progress(const Progress& /*report*/) override {}

    // The end of a pass: without a message in it, messages may be said again.
    void pass_ended();
    // Whether one was given: electronic-payment files may go.
    [[nodiscard]] bool payment_password_given() const { return given_; }
    // Whether the payment password was asked for and not accepted since the last call.
    [[nodiscard]] bool take_password_refusal();

private:
    // Whether a message (not a question) is to be said now: not when said since the last quiet
    // pass.
    [[nodiscard]] bool to_say(std::string_view text);

    bool given_;
    bool refused_ = false;
    bool spoke_ = false;
    std::set<std::string, std::less<>> said_;
};

}  // namespace ordano
