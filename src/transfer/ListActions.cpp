// SPDX-License-Identifier: Apache-2.0
#include "transfer/ListActions.h"

#include <string>

#include "store/UiPort.h"
#include "transfer/FileIcon.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"

namespace ordano {
namespace {

bool confirmed(UiPort& ui, const std::string& question) {
    return ui.message(question, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

SendRow pending_row(std::string_view name, const std::filesystem::path& pag_env) {
    SendRow row;
    row.text = std::string(name);
    row.status = std::string(send_status::kPending);
    row.small_icon = icon_for_file(name, pag_env);
    row.icono = row.small_icon == image::kNone ? "" : std::to_string(row.small_icon);
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
    row.ruta_pre = Ruta_Respuesta(1, name);
    row.ruta_val = Ruta_Respuesta(2, name);
    send.set_current_row(send.append(std::move(row)));
    return true;
}

void add_searched_file(SendList& send, const std::filesystem::path& pag_env,
                       std::string_view name) {
    send.append(pending_row(name, pag_env));
}

bool remove_from_send(SendList& send, UiPort& ui, RowId selected) {
    const SendRow* row = send.find(selected);
    if (row == nullptr || !row->pending()) {
        return false;
    }
    const std::string name = row->text;
    if (!confirmed(ui, "¿Deseas eliminar el archivo " + name + " de la lista de envío?")) {
        return false;
    }
    // The row may have gone while the question was open.
    return send.remove(selected);
}

bool remove_from_receive(ReceiveList& receive, PollingTimer& timer, UiPort& ui, RowId selected) {
    const ReceiveRow* row = receive.find(selected);
    if (row == nullptr) {
        return false;
    }
    const std::string name = row->text;
    if (!confirmed(ui, "¿Deseas eliminar el archivo " + name + " de la lista de recepción?")) {
        return false;
    }
    timer.set_enabled(false);
    const bool removed = receive.remove(selected);
    if (!receive.empty()) {
        timer.set_enabled(true);
    }
    return removed;
}

bool clear_send_list(SendList& send, UiPort& ui) {
    if (send.empty()) {
        return false;
    }
    if (!confirmed(ui, "¿Deseas eliminar todos los elementos de la lista de envío?")) {
        return false;
    }
    send.clear();
    return true;
}

}  // namespace ordano
