#include "ui/ActionButton.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

#include "ui/Images.h"

namespace ordano {

QAction* add_action_button(QToolBar& toolbar, Action action, const QString& caption,
                           const QString& tooltip, const QKeySequence& shortcut) {
    QAction* button = toolbar.addAction(images::action_icon(action), caption);
    const std::string_view key = action_key(action);
    const QString name = QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
    button->setObjectName(name);
    button->setData(static_cast<int>(action));
    if (shortcut.isEmpty()) {
        button->setToolTip(tooltip);
    } else {
        button->setShortcut(shortcut);
        button->setToolTip(
            QStringLiteral("%1 (%2)").arg(tooltip, shortcut.toString(QKeySequence::NativeText)));
    }
    // Toolbars leave their buttons out of the Tab order; ours are in it, so that every one can
    // be reached without a mouse.
    if (QWidget* widget = toolbar.widgetForAction(button)) {
        widget->setFocusPolicy(Qt::TabFocus);
        widget->setObjectName(toolbar.objectName() + QLatin1Char('.') + name);
    }
    return button;
}

QAction* add_action_button(QToolBar& toolbar, const ToolbarButton& button) {
    return add_action_button(toolbar, button.action, QString::fromUtf8(button.caption),
                             QString::fromUtf8(button.tooltip),
                             button.shortcut != nullptr
                                 ? QKeySequence(QString::fromLatin1(button.shortcut))
                                 : QKeySequence());
}

Action button_action(const QAction& button) {
    return static_cast<Action>(button.data().toInt());
}

}  // namespace ordano
