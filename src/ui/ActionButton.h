#pragma once

#include <QString>

#include "store/Action.h"

class QAction;
class QToolBar;

namespace ordano {

// A toolbar button as the windows' tables list it (texts in UTF-8).
struct ToolbarButton {
    const char* caption;
    Action action;
    const char* tooltip;
};

// Adds a toolbar button for `action`: the action's icon, `caption` and `tooltip`, its key as
// the object name (by which it is found) and the action itself in its data.
QAction* add_action_button(QToolBar& toolbar, Action action, const QString& caption,
                           const QString& tooltip);
QAction* add_action_button(QToolBar& toolbar, const ToolbarButton& button);

// The action of a button made by add_action_button.
[[nodiscard]] Action button_action(const QAction& button);

}  // namespace ordano
