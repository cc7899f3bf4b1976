// SPDX-License-Identifier: Apache-2.0
// A toolbar built from the action registry shows what it declares and reports its presses.
#include <gtest/gtest.h>
#include <QAction>
#include <QToolBar>

#include <vector>

#include "ui/ActionButton.h"

namespace ordano {
namespace {

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(ToolbarButtons, EachToolbarShowsTheButtonsItsEntriesDeclare) {
    for (const Toolbar which : {Toolbar::Main, Toolbar::CatalogUpdate, Toolbar::Parameters}) {
        QToolBar toolbar;
        toolbar.setObjectName(QStringLiteral("tlb"));
        std::vector<Action> pressed;
        const ToolbarButtons buttons(toolbar, which,
                                     [&pressed](Action action) { pressed.push_back(action); });
        const QList<QAction*> shown = toolbar.actions();
        qsizetype at = 0;
        for (const ActionEntry& entry : toolbar_entries(which)) {
            const QString key = QString::fromLatin1(action_key(entry.action).data());
            SCOPED_TRACE(key.toStdString());
            ASSERT_LT(at, shown.size());
            QAction* button = shown[at++];
            EXPECT_EQ(button, buttons.button(entry.action));
            EXPECT_EQ(button->objectName(), key);
            EXPECT_EQ(toolbar.widgetForAction(button)->objectName(), "tlb." + key);
            EXPECT_EQ(button->iconText(), utf8(entry.caption));
            EXPECT_EQ(button->text(), utf8(entry.caption).remove(QLatin1Char('&')));
            EXPECT_FALSE(button->icon().isNull());
            const QString shortcut = utf8(entry.shortcut);
            EXPECT_EQ(button->shortcut(), QKeySequence(shortcut));
            EXPECT_EQ(button->toolTip(), shortcut.isEmpty()
                                             ? utf8(entry.tooltip)
                                             : utf8(entry.tooltip) + " (" + shortcut + ")");
            if (entry.separator_after) {
                ASSERT_LT(at, shown.size());
                EXPECT_TRUE(shown[at++]->isSeparator());
            }
            button->trigger();
            ASSERT_FALSE(pressed.empty());
            EXPECT_EQ(pressed.back(), entry.action);
        }
        EXPECT_EQ(at, shown.size());
        EXPECT_EQ(pressed.size(), toolbar_entries(which).size());
    }
}

TEST(ToolbarButtons, FollowTheEnginesState) {
    QToolBar toolbar;
    const ToolbarButtons buttons(toolbar, Toolbar::Main, [](Action) {});
    EngineState sending;
    sending.running = 1U << static_cast<unsigned>(Job::Sending);
    sending.polling = true;
    buttons.follow(sending);
    QStringList disabled;
    for (const QAction* button : toolbar.actions()) {
        if (!button->isEnabled()) {
            disabled << button->objectName();
        }
    }
    EXPECT_EQ(disabled, QStringList({"enviar", "recibir"}));
    buttons.follow(EngineState{});
    EXPECT_TRUE(buttons.button(Action::Enviar)->isEnabled());
    EXPECT_FALSE(buttons.button(Action::Detener)->isEnabled());
    EXPECT_EQ(buttons.button(Action::Modificar), nullptr);
}

}  // namespace
}  // namespace ordano
