// SPDX-License-Identifier: Apache-2.0
#include "transfer/ListActions.h"

#include <string>

#include "base/UiPort.h"
#include "transfer/FileIcon.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"

namespace ordano {
namespace {

SendRow pending_row(std::string_view name, const std::filesystem::path& pag_env) {
    SendRow row;
    row.text = std::string(name);
    row.status = std::string(send_status::kPending);
    row.small_icon = icon_for_file(name, pag_env);
    return row;
}

}  // namespace

bool add_file_to_send(SendList& send, UiPort& ui, const std::filesystem::path& pag_env,
                      std::string_view name) {
    if (send.has_pending(name)) {
        ui.message("El archivo ya esta en la lista de envío!!!", MessageIcon::Information,
                   MessageButtons::Ok);
        return false;
    }
    SendRow row = pending_row(name, pag_env);
    row.ruta_pre = answer_folder(1, name);
    row.ruta_val = answer_folder(2, name);
    send.set_current_row(send.append(std::move(row)));
    return true;
}

void add_searched_file(SendList& send, const std::filesystem::path& pag_env,
                       std::string_view name) {
    send.append(pending_row(name, pag_env));
}

std::optional<std::string> send_removal_question(const SendRow& row) {
    if (!row.pending()) {
        return std::nullopt;
    }
    return "¿Deseas eliminar el archivo " + row.text + " de la lista de envío?";
}

std::string receive_removal_question(const ReceiveRow& row) {
    return "¿Deseas eliminar el archivo " + row.text + " de la lista de recepción?";
}

bool remove_from_send(SendList& send, RowId selected) {
    // The row may have gone, or changed, while the question was open.
    const SendRow* row = send.find(selected);
    return row != nullptr && row->pending() && send.remove(selected);
}

bool remove_from_receive(ReceiveList& receive, PollingTimer& timer, RowId selected) {
    if (receive.find(selected) == nullptr) {
        return false;
    }
    timer.set_enabled(false);
    const bool removed = receive.remove(selected);
    if (!receive.empty()) {
        timer.set_enabled(true);
    }
    return removed;
}

bool clear_send_list(SendList& send) {
    if (send.empty()) {
        return false;
    }
    send.clear();
    return true;
}

}  // namespace ordano
