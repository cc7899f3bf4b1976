// SPDX-License-Identifier: Apache-2.0
#include "ui/ActionButton.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QToolBar>
#include <QWidget>

#include <algorithm>

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

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* add_button(QToolBar& toolbar, const ActionEntry& entry) {
    // The caption's "&" marks the button's Alt letter; the action's own text has none.
    const QString caption = utf8(entry.caption);
    QString text = caption;
    text.remove(QLatin1Char('&'));
    QAction* button = toolbar.addAction(images::action_icon(entry.action), text);
    if (text != caption) {
        button->setIconText(caption);
    }
    const QString name = latin1(action_key(entry.action));
    button->setObjectName(name);
    const QString tooltip = utf8(entry.tooltip);
    if (entry.shortcut.empty()) {
        button->setToolTip(tooltip);
    } else {
        const QKeySequence shortcut(latin1(entry.shortcut));
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

}  // namespace

ToolbarButtons::ToolbarButtons(QToolBar& toolbar, Toolbar which, const Handler& handler) {
    for (const ActionEntry& entry : toolbar_entries(which)) {
        QAction* button = add_button(toolbar, entry);
        QObject::connect(button, &QAction::triggered, &toolbar,
                         [handler, action = entry.action] { handler(action); });
        buttons_.push_back({&entry, button,
                            entry.separator_after ? toolbar.addSeparator() : nullptr,
                            button->toolTip()});
    }
}

const ToolbarButtons::Button* ToolbarButtons::find(Action action) const {
    const auto found = std::ranges::find(buttons_, action,
                                         [](const Button& button) { return button.entry->action; });
    return found != buttons_.end() ? &*found : nullptr;
}

QAction* ToolbarButtons::button(Action action) const {
    const Button* found = find(action);
    return found != nullptr ? found->action : nullptr;
}

QAction* ToolbarButtons::separator_after(Action action) const {
    const Button* found = find(action);
    return found != nullptr ? found->separator : nullptr;
}

void ToolbarButtons::follow(const EngineState& state) const {
    for (const Button& button : buttons_) {
        const bool enabled = entry_enabled(*button.entry, state);
        button.action->setEnabled(enabled);
        // A button greyed out by work under way says why in its tooltip.
        const std::string_view why = enabled || !button.entry->request
                                         ? std::string_view()
                                         : decide(*button.entry->request, state).reason;
        button.action->setToolTip(why.empty() ? button.tip
                                              : button.tip + QLatin1Char('\n') + utf8(why));
    }
}

}  // namespace ordano
