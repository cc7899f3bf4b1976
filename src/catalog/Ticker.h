// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ordano {

// The bulletin ticker's state: one line of plain text and whether it runs. The window that
// shows it subscribes and is told of every change.
class Ticker {
public:
    using Listener = std::function<void()>;

    [[nodiscard]] const std::string& text() const { return text_; }
    [[nodiscard]] bool on() const { return on_; }

    // Sets both; listeners hear of it only when something changed.
    void show(std::string text, bool on);
    void clear() { show(std::string(), false); }

    void subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }

private:
    std::string text_;
    bool on_ = false;
    std::vector<Listener> listeners_;
};

}  // namespace ordano
