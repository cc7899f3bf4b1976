// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "engine/ActionRegistry.h"

class QAction;
class QToolBar;

namespace ordano {

// A window's toolbar as the action registry declares it. Each entry becomes a button with the
// action's icon, its caption and tooltip (a shortcut is named at the end of the tooltip), its
// key as the object name (by which it is found) and a separator after it where the entry says
// so. A "&" in the caption marks the button's Alt letter (the action's text is the caption
// without it). The buttons take the focus with Tab, Left and Right move along the toolbar
// (Space presses a button), and each is named toolbar name + "." + key.
class ToolbarButtons {
public:
    using Handler = std::function<void(Action)>;

    ToolbarButtons() = default;
    // Builds `toolbar`'s buttons; pressing one (or its shortcut) calls `handler` with its
    // action.
    ToolbarButtons(QToolBar& toolbar, Toolbar which, const Handler& handler);

    // The button of `action`, and the separator that follows it; nullptr when the toolbar has
    // none.
    [[nodiscard]] QAction* button(Action action) const;
    [[nodiscard]] QAction* separator_after(Action action) const;
    // Each button enabled as the registry's rule says for the engine's `state`.
    void follow(const EngineState& state) const;

private:
    struct Button {
        const ActionEntry* entry;
        QAction* action;
        QAction* separator;
        QString tip;  // its own tooltip; a disabled button adds why
    };
    [[nodiscard]] const Button* find(Action action) const;

    std::vector<Button> buttons_;
};

}  // namespace ordano
