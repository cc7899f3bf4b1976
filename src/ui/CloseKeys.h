// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>

class QWidget;

namespace ordano {

// Esc, Ctrl+W and the platform's own "close" keys (Ctrl+F4 on Windows) run `close` while `window`
// is the active window, as its close box or its own "Salir" would.
void add_close_keys(QWidget& window, std::function<void()> close);

}  // namespace ordano
