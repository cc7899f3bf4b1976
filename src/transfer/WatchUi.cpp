// SPDX-License-Identifier: Apache-2.0
#include "transfer/WatchUi.h"

namespace ordano {

MessageAnswer WatchUi::message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                               std::optional<std::string_view> caption) {
    if (buttons == MessageButtons::YesNo) {
        return MessageAnswer::No;
    }
    if (to_say(text)) {
        ForwardingUi::message(text, icon, buttons, caption);
    }
    return MessageAnswer::Ok;
}

MessageAnswer WatchUi::detailed_message(std::string_view text, std::string_view details,
                                        MessageIcon icon, MessageButtons buttons,
                                        std::optional<std::string_view> caption) {
    if (buttons == MessageButtons::YesNo) {
        return MessageAnswer::No;
    }
    if (to_say(text)) {
        ForwardingUi::detailed_message(text, details, icon, buttons, caption);
    }
    return MessageAnswer::Ok;
}

bool WatchUi::to_say(std::string_view text) {
    spoke_ = true;
    return said_.insert(std::string(text)).second;
}

bool WatchUi::ask_payment_password() {
    const bool accepted = given_ && ForwardingUi::ask_payment_password();
    refused_ = refused_ || !accepted;
    return accepted;
}

void WatchUi::pass_ended() {
    if (!spoke_) {
        said_.clear();
    }
    spoke_ = false;
}

bool WatchUi::take_password_refusal() {
    return std::exchange(refused_, false);
}

}  // namespace ordano
