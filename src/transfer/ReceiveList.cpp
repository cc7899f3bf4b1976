// SPDX-License-Identifier: Apache-2.0
#include "transfer/ReceiveList.h"

#include <array>
#include <vector>

#include "transfer/FileIcon.h"

namespace ordano {

std::string ReceiveRow::sub_item(int n) const {
    switch (n) {
        case 0:
            return text;
        case 1:
            return prev_state;
        case 2:
            return val_state;
        case 3:
            return sent_at;
        case 4:
            return ruta_pre;
        case 5:
            return ruta_val;
        case 6:
            return archivo_prev;
        case 7:
            return archivo_val;
        case 8:
            return ruta_dest;
        case 9:
            return icon_text(small_icon);
        default:
            return {};
    }
}

std::optional<int> ReceiveRow::column_index(std::string_view key) {
    static constexpr std::array<std::string_view, 6> kKeys = {
        "RutaPrev", "RutaVal", "ArchivoPrev", "ArchivoVal", "RutaDest", "Icono"};
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i] == key) {
            return static_cast<int>(i) + 4;
        }
    }
    return std::nullopt;
}

int ReceiveList::sweep() {
    std::vector<RowId> done;
    for (const auto& row : rows()) {
        if (row.complete()) {
            done.push_back(row.id);
        }
    }
    for (const RowId id : done) {
        remove(id);
    }
    return static_cast<int>(done.size());
}

}  // namespace ordano
