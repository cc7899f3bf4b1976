// SPDX-License-Identifier: Apache-2.0
#include "catalog/Ticker.h"

namespace ordano {

void Ticker::show(std::string text, bool on) {
    if (text == text_ && on == on_) {
        return;
    }
    text_ = std::move(text);
    on_ = on;
    for (const auto& listener : listeners_) {
        listener();
    }
}

}  // namespace ordano
