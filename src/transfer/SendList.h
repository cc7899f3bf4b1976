// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "transfer/RowList.h"

namespace ordano {

// Status of a send-list row.
namespace send_status {
inline constexpr std::string_view kPending = "E";        // file to send
inline constexpr std::string_view kPrevalidation = "K";  // prevalidation answer received
inline constexpr std::string_view kValidation = "R";     // validation answer received
}  // namespace send_status

// One row of the send list lvwPreVal(0).
struct SendRow {
    RowId id = 0;
    std::string text;      // file name, without folder
    std::string status;    // sub-item 1: "E", "K" or "R"
    std::string ruta_pre;  // sub-item 3, key "RutaPre"
    std::string ruta_val;  // sub-item 4, key "RutaVal"
    int small_icon = 0;    // image of the main window's image list; 0 for none. A file to send
                           // shows it as sub-item 2, key "Icono"; an answer shows none there
    bool sent = false;     // gone up (or handed to reception) in a run; compact() takes it off

    static constexpr int kSubItems = 4;
    // Sub-item n (0 is the item text); "" past the last.
    [[nodiscard]] std::string sub_item(int n) const;
    // The sub-item a column key names ("Icono", "RutaPre", "RutaVal"); nullopt for others.
    [[nodiscard]] static std::optional<int> column_index(std::string_view key);
    [[nodiscard]] bool pending() const { return status == send_status::kPending && !sent; }
};

// The send list: files chosen to send and answers already received, with the main window's
// current row (the last row added by the user or by the polling).
class SendList : public RowList<SendRow> {
public:
    [[nodiscard]] std::optional<RowId> current_row() const;
    void set_current_row(RowId id) { current_ = id; }

    // A pending row ("E") of this name, letter case aside.
    [[nodiscard]] bool has_pending(std::string_view name) const;
    // A pending electronic-payment row (first letter "E" in any case, status "E").
    [[nodiscard]] bool has_pending_payment() const;
    // Removes the rows a run has sent.
    void compact();

private:
    std::optional<RowId> current_;
};

}  // namespace ordano
