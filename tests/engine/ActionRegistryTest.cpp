// SPDX-License-Identifier: Apache-2.0
// The toolbars' one table of actions: each button once, with a key and a shortcut of its own.
#include <gtest/gtest.h>

#include <set>

#include "engine/ActionRegistry.h"

namespace ordano {
namespace {

TEST(ActionRegistry, EachButtonOnceWithAKeyAndShortcutOfItsOwn) {
    std::size_t listed = 0;
    std::set<Action> on_a_toolbar;
    std::set<std::string_view> shortcuts;
    for (const Toolbar toolbar : {Toolbar::Main, Toolbar::CatalogUpdate, Toolbar::Parameters}) {
        std::set<std::string_view> keys;
        for (const ActionEntry& e : toolbar_entries(toolbar)) {
            EXPECT_EQ(e.toolbar, toolbar);
            EXPECT_TRUE(keys.insert(action_key(e.action)).second) << action_key(e.action);
            EXPECT_FALSE(e.caption.empty() || e.tooltip.empty()) << action_key(e.action);
            if (!e.shortcut.empty()) {
                EXPECT_TRUE(shortcuts.insert(e.shortcut).second) << e.shortcut;
            }
            on_a_toolbar.insert(e.action);
            ++listed;
        }
    }
    EXPECT_EQ(listed, action_entries().size());  // no toolbar's buttons apart from the others
    EXPECT_EQ(toolbar_entries(Toolbar::Main).size(), 7U);
    EXPECT_EQ(toolbar_entries(Toolbar::CatalogUpdate).size(), 2U);
    EXPECT_EQ(toolbar_entries(Toolbar::Parameters).size(), 6U);
    EXPECT_EQ(shortcuts, std::set<std::string_view>(
                             {"F5", "F6", "Esc", "F9", "Ctrl+,", "Ctrl+H", "Ctrl+Q", "Ctrl+S"}));
    // Every action but the folder buttons' picture has a button.
    EXPECT_EQ(on_a_toolbar.size(), 12U);
    EXPECT_FALSE(on_a_toolbar.contains(Action::Carpeta));
}

}  // namespace
}  // namespace ordano
