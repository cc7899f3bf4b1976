// SPDX-License-Identifier: Apache-2.0
#include "ui/ActionButton.h"

#include <QAction>
#include <QKeyEvent>
#include <QToolBar>
#include <QWidget>

#include "ui/Images.h"

namespace ordano {
namespace {

// Left and Right move the focus along a toolbar's buttons, as Tab and Shift+Tab do.
class ArrowKeys : public QObject {
public:
    explicit ArrowKeys(QToolBar& toolbar) : QObject(&toolbar), toolbar_(toolbar) {
        setObjectName(QStringLiteral("ArrowKeys"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Left && key != Qt::Key_Right) {
            return false;
        }
        const QList<QWidget*> buttons = reachable_buttons();
        const auto at = buttons.indexOf(static_cast<QWidget*>(watched));
        const auto to = at + (key == Qt::Key_Right ? 1 : -1);
        if (at >= 0 && to >= 0 && to < buttons.size()) {
            buttons[to]->setFocus(key == Qt::Key_Right ? Qt::TabFocusReason
                                                       : Qt::BacktabFocusReason);
        }
        return true;
    }

private:
    [[nodiscard]] QList<QWidget*> reachable_buttons() const {
        QList<QWidget*> buttons;
        for (QAction* action : toolbar_.actions()) {
            QWidget* widget = toolbar_.widgetForAction(action);
            if (widget != nullptr && widget->isVisible() && widget->isEnabled() &&
                (widget->focusPolicy() & Qt::TabFocus) != 0) {
                buttons << widget;
            }
        }
        return buttons;
    }

    QToolBar& toolbar_;
};

ArrowKeys& arrow_keys(QToolBar& toolbar) {
    auto* keys =
        toolbar.findChild<ArrowKeys*>(QStringLiteral("ArrowKeys"), Qt::FindDirectChildrenOnly);
    return keys != nullptr ? *keys : *new ArrowKeys(toolbar);
}

}  // namespace

QAction* add_action_button(QToolBar& toolbar, Action action, const QString& caption,
                           const QString& tooltip, const QKeySequence& shortcut) {
    // The caption's "&" marks the button's Alt letter; the action's own text has none.
    QString text = caption;
    text.remove(QLatin1Char('&'));
    QAction* button = toolbar.addAction(images::action_icon(action), text);
    if (text != caption) {
        button->setIconText(caption);
    }
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
        widget->installEventFilter(&arrow_keys(toolbar));
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
