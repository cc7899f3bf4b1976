// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/Action.h"
#include "engine/Gate.h"

namespace ordano {

// The windows that show actions on a toolbar.
enum class Toolbar : std::uint8_t {
    Main,           // tlbPreVal, the main window's
    CatalogUpdate,  // tlbAct, the catalogue-update window's
    Parameters,     // tlbParametros, the parameters window's
};

// One button of a toolbar: everything a window shows of its action and when it can be
// pressed. The button's object name is the action's key (action_key) and its icon the
// action's; the same action on two toolbars (Salir) is two buttons with texts of their own.
struct ActionEntry {
    Toolbar toolbar;
    Action action;
    std::string_view caption;        // UTF-8; a "&" marks the button's Alt letter
    std::string_view tooltip;        // UTF-8; the shortcut is named after it
    std::string_view shortcut = {};  // portable form ("F5", "Ctrl+Q"); empty for none
    // What the engine's gate is asked for: the button is disabled while the gate would refuse
    // it. None: always enabled.
    std::optional<Request> request = std::nullopt;
    bool needs_polling = false;    // only while the polling runs (nothing to stop otherwise)
    bool separator_after = false;  // a separator follows it on its toolbar
};

// Every toolbar button, toolbar by toolbar, each toolbar's in its order.
[[nodiscard]] std::span<const ActionEntry> action_entries();
// The buttons of one toolbar, in order.
[[nodiscard]] std::span<const ActionEntry> toolbar_entries(Toolbar toolbar);

// Whether the button can be pressed while the engine is in `state`.
[[nodiscard]] bool entry_enabled(const ActionEntry& entry, const EngineState& state);

}  // namespace ordano
