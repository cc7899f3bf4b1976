// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferDesk.h"

#include "base/RunStop.h"
#include "office/Session.h"
#include "base/UiPort.h"
#include "transfer/FtpRoutines.h"
#include "transfer/ListActions.h"
#include "transfer/ManualReception.h"

namespace ordano {

TransferDesk::TransferDesk(Sesion& session, const ParametersRecord& params, Journal& journal,
                           UiPort& ui, const Clock& clock, LocaleFormats locale,
                           SendingRun::BulletinRefresh refresh_bulletin, std::stop_token stop)
    : recorder_(journal, send_, receive_, session, clock),
      context_{session, params,   ui,     clock,     std::move(locale),
               send_,   receive_, timer_, recorder_, std::move(stop)},
      sending_(context_, std::move(refresh_bulletin)),
      poller_(context_) {}

void TransferDesk::send() {
    sending_.run();
    close_sending_session();
}

void TransferDesk::receive() {
    if (!sending_.running()) {
        try {
            Recibe_Manual(context_);
        } catch (const RunStopped&) {
            // The program is ending: what is left of the action is not done.
        }
    }
    close_sending_session();
}

void TransferDesk::close_sending_session() {
    if (!sending_.running()) {
        Desconecta_FTP(sending_.session(), context_.ui);
    }
}

void TransferDesk::close_polling_session() {
    poller_.stop();
}

bool TransferDesk::lvwArchivos_DblClick(std::string_view name) {
    return add_file_to_send(send_, context_.ui, context_.session.folders.pag_env, name);
}

void TransferDesk::add_searched_file(std::string_view name) {
    ordano::add_searched_file(send_, context_.session.folders.pag_env, name);
}

bool TransferDesk::cmdPreVal_Click(RowId selected) {
    return remove_from_send(send_, selected);
}

bool TransferDesk::cmdPreElm_Click(RowId selected) {
    return remove_from_receive(receive_, timer_, selected);
}

bool TransferDesk::cmdLimpia_Click() {
    return clear_send_list(send_);
}

void TransferDesk::restore_from_journal(bool send_entries) {
    const std::vector<std::string> damaged = recorder_.restore(send_entries, context_.locale);
    if (!damaged.empty()) {
        std::string text =
            "Estos registros de la bitácora de envíos están dañados y no se "
            "volvieron a poner en las listas:";
        for (const std::string& line : damaged) {
            text += "\r\n" + line;
        }
        context_.ui.message(text, MessageIcon::Critical, MessageButtons::Ok);
    }
    if (!receive_.empty()) {
        timer_.set_enabled(true);
    }
}

int TransferDesk::mark_overdue() {
    return recorder_.mark_overdue(context_.clock.now(), context_.overdue_minutes());
}

void TransferDesk::stop_polling() {
    if (!timer_.enabled()) {
        return;
    }
    timer_.set_enabled(false);
    poller_.cancel_tick();
    receive_.clear();
}

}  // namespace ordano
