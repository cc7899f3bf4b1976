// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QKeySequence>
#include <QString>

#include "base/Action.h"

class QAction;
class QToolBar;

namespace ordano {

// A toolbar button as the windows' tables list it (texts in UTF-8); `shortcut` in the portable
// form ("F5", "Ctrl+Q"), nullptr for none.
struct ToolbarButton {
    const char* caption;
    Action action;
    const char* tooltip;
    const char* shortcut = nullptr;
};

// Adds a toolbar button for `action`: the action's icon, `caption` and `tooltip`, its key as
// the object name (by which it is found) and the action itself in its data. A "&" in the
// caption marks the button's Alt letter (the action's text is the caption without it). A
// shortcut is named at the end of the tooltip. The button takes the focus with Tab, Left and
// Right move along the toolbar (Space presses the button), and it is named toolbar name + "."
// + key.
QAction* add_action_button(QToolBar& toolbar, Action action, const QString& caption,
                           const QString& tooltip, const QKeySequence& shortcut = {});
QAction* add_action_button(QToolBar& toolbar, const ToolbarButton& button);

// The action of a button made by add_action_button.
[[nodiscard]] Action button_action(const QAction& button);

}  // namespace ordano
