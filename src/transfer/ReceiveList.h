// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "transfer/RowList.h"

namespace ordano {

// Answer state of a receive-list row: awaited, or received (or not expected).
inline constexpr std::string_view kAnswerIn = "X";

// One row of the receive list lvwPreVal(1): a sent file whose answers are awaited.
struct ReceiveRow {
    RowId id = 0;
    std::string text;          // name of the sent file
    std::string prev_state;    // sub-item 1: "" awaited, "X" received or not expected
    std::string val_state;     // sub-item 2: "" awaited, "X" received
    std::string sent_at;       // sub-item 3: "hh:mm ampm"
    std::string ruta_pre;      // sub-item 4, key "RutaPrev"
    std::string ruta_val;      // sub-item 5, key "RutaVal"
    std::string archivo_prev;  // sub-item 6, key "ArchivoPrev"
    std::string archivo_val;   // sub-item 7, key "ArchivoVal"
    std::string ruta_dest;     // sub-item 8, key "RutaDest"
    int small_icon = 0;        // sub-item 9, key "Icono": the sent file's image; 0 for none
    bool overdue = false;      // awaited for longer than the office's limit
    bool handed_over = false;  // by "Recibir", without an upload of this office

    static constexpr int kSubItems = 9;
    [[nodiscard]] std::string sub_item(int n) const;
    [[nodiscard]] static std::optional<int> column_index(std::string_view key);

    [[nodiscard]] bool awaits_prevalidation() const {
        return prev_state.empty() && !archivo_prev.empty();
    }
    [[nodiscard]] bool awaits_validation() const { return val_state.empty(); }
    [[nodiscard]] bool complete() const {
        return prev_state == kAnswerIn && val_state == kAnswerIn;
    }
};

// The receive list. Rows leave it when both answers are in, by the user, or by a stop.
class ReceiveList : public RowList<ReceiveRow> {
public:
    // Removes the rows whose two answers are in; returns how many.
    int sweep();
};

}  // namespace ordano
