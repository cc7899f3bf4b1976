// SPDX-License-Identifier: Apache-2.0
#include "transfer/SendList.h"

#include <vector>

#include "base/FileNames.h"
#include "transfer/FileIcon.h"
#include "transfer/Routing.h"

namespace ordano {

std::string SendRow::sub_item(int n) const {
    switch (n) {
        case 0:
            return text;
        case 1:
            return status;
        case 2:
            return status == send_status::kPending ? icon_text(small_icon) : "";
        case 3:
            return ruta_pre;
        case 4:
            return ruta_val;
        default:
            return {};
    }
}

std::optional<int> SendRow::column_index(std::string_view key) {
    if (key == "Icono") {
        return 2;
    }
    if (key == "RutaPre") {
        return 3;
    }
    if (key == "RutaVal") {
        return 4;
    }
    return std::nullopt;
}

std::optional<RowId> SendList::current_row() const {
    // A current row that has since been removed is no current row.
    if (current_ && find(*current_) == nullptr) {
        return std::nullopt;
    }
    return current_;
}

bool SendList::has_pending(std::string_view name) const {
    // Letter case aside, it is the same file: the sending run finds it so.
    const std::string wanted = upper_case_name(name);
    for (const auto& row : rows()) {
        if (row.pending() && upper_case_name(row.text) == wanted) {
            return true;
        }
    }
    return false;
}

bool SendList::has_pending_payment() const {
    for (const auto& row : rows()) {
        if (row.pending() && kind_letter(row.text) == 'E') {
            return true;
        }
    }
    return false;
}

void SendList::compact() {
    std::vector<RowId> sent;
    for (const auto& row : rows()) {
        if (row.sent) {
            sent.push_back(row.id);
        }
    }
    for (const RowId id : sent) {
        remove(id);
    }
}

}  // namespace ordano
