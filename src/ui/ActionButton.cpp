#include "ui/ActionButton.h"

#include <QAction>
#include <QToolBar>

#include "ui/Images.h"

namespace ordano {

QAction* add_action_button(QToolBar& toolbar, Action action, const QString& caption,
                           const QString& tooltip) {
    QAction* button = toolbar.addAction(images::action_icon(action), caption);
    const std::string_view key = action_key(action);
    button->setObjectName(QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())));
    button->setData(static_cast<int>(action));
    button->setToolTip(tooltip);
    return button;
}

QAction* add_action_button(QToolBar& toolbar, const ToolbarButton& button) {
    return add_action_button(toolbar, button.action, QString::fromUtf8(button.caption),
                             QString::fromUtf8(button.tooltip));
}

Action button_action(const QAction& button) {
    return static_cast<Action>(button.data().toInt());
}

}  // namespace ordano
