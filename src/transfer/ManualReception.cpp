// SPDX-License-Identifier: Apache-2.0
#include "transfer/ManualReception.h"

#include <vector>

#include "base/Errors.h"
#include "base/RunStop.h"
#include "office/Session.h"
#include "base/UiPort.h"
#include "transfer/JournalRecorder.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"
#include "transfer/TransferContext.h"
#include "transfer/TransferErrors.h"
#include "transfer/TransferFiles.h"

namespace ordano {
namespace {

// Stale answers of an earlier run in the working folder would be taken for new ones. A file
// that cannot be deleted is asked about; No goes on with the entry all the same.
void clear_stale_answers(TransferContext& ctx, const Route& route, const std::string& name) {
    const auto& work = ctx.session.paths.work_folder;
    for (;;) {
        try {
            delete_file(work / route.archivo_val);
            if (!route.archivo_prev.empty()) {
                delete_file(work / route.archivo_prev);
            }
            return;
        } catch (const NumberedError& error) {
            if (!ask_retry(ctx.ui, error.number(), name)) {
                return;
            }
        }
    }
}

}  // namespace

void Recibe_Manual(TransferContext& ctx) {
    if (ctx.send.empty()) {
        ctx.ui.message("Debes incluir al menos un archivo en la lista de recepción!!!",
                       MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    Sesion& session = ctx.session;
    session.pass_aceptada = !ctx.send.has_pending_payment();
    if (!session.pass_aceptada) {
        stop_point(ctx.stop);
        session.pass_aceptada = ctx.ui.ask_payment_password();
    }
    const std::vector<RowId> ids = ctx.send.ids();
    for (const RowId id : ids) {
        stop_point(ctx.stop);
        const SendRow* row = ctx.send.find(id);
        if (row == nullptr || !row->pending() || row->text.empty()) {
            continue;
        }
        const SendRow entry = *row;
        const auto route = route_for(entry.text, session);
        if (!route) {
            continue;
        }
        clear_stale_answers(ctx, *route, entry.text);
        ReceiveRow handed = receive_row_for(entry, *route, ctx.time_now());
        handed.handed_over = true;
        const RowId received = ctx.receive.append(std::move(handed));
        ctx.journal.handed_over(id, received);
        ctx.send.update(id, [](SendRow& r) { r.text.clear(); });
    }
    ctx.send.compact();
    ctx.timer.set_enabled(true);
}

}  // namespace ordano
