// SPDX-License-Identifier: Apache-2.0
#include "transfer/ManualReception.h"

#include <vector>

#include "base/Errors.h"
#include "base/RunStop.h"
#include "base/UiPort.h"
#include "office/Session.h"
#include "transfer/JournalRecorder.h"
#include "transfer/ReceptionIntake.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"
#include "transfer/TransferErrors.h"
#include "transfer/TransferFiles.h"

namespace ordano {
namespace {

// Stale answers of an earlier run in the working folder would be taken for new ones. A file
// that cannot be deleted is asked about; No goes on with the entry all the same.
void clear_stale_answers(const Sesion& session, UiPort& ui, const Route& route,
                         const std::string& name) {
    const auto& work = session.paths.work_folder;
    for (;;) {
        try {
            delete_file(work / route.archivo_val);
            if (!route.archivo_prev.empty()) {
                delete_file(work / route.archivo_prev);
            }
            return;
        } catch (const NumberedError& error) {
            if (!ask_retry(ui, error.number(), name)) {
                return;
            }
        }
    }
}

}  // namespace

void receive_by_hand(Sesion& session, UiPort& ui, SendList& send, SendingJournal& journal,
                     ReceptionIntake& reception, const std::stop_token& stop) {
    if (send.empty()) {
        ui.message("Debes incluir al menos un archivo en la lista de recepción!!!",
                   MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    session.pass_aceptada = !send.has_pending_payment();
    if (!session.pass_aceptada) {
        stop_point(stop);
        session.pass_aceptada = ui.ask_payment_password();
    }
    const std::vector<RowId> ids = send.ids();
    for (const RowId id : ids) {
        stop_point(stop);
        const SendRow* row = send.find(id);
        if (row == nullptr || !row->pending()) {
            continue;
        }
        const SendRow entry = *row;
        const auto route = route_for(entry.text, session);
        if (!route) {
            continue;
        }
        clear_stale_answers(session, ui, *route, entry.text);
        const RowId received = reception.await_answers(entry, *route, /*handed_over=*/true);
        journal.handed_over(id, received);
        send.update(id, [](SendRow& r) { r.sent = true; });
    }
    send.compact();
    reception.start_polling();
}

}  // namespace ordano
