// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferDesk.h"

#include "base/RuleCheck.h"
#include "base/RunStop.h"
#include "base/UiPort.h"
#include "office/Journal.h"
#include "office/Session.h"
#include "transfer/FtpRoutines.h"
#include "transfer/ListActions.h"
#include "transfer/ManualReception.h"

namespace ordano {

TransferDesk::TransferDesk(Sesion& session, const ParametersRecord& params, Journal& journal,
                           UiPort& ui, const Clock& clock, LocaleFormats locale,
                           SendingRun::BulletinRefresh refresh_bulletin, std::stop_token stop)
    : session_(session),
      params_(params),
      ui_(ui),
      clock_(clock),
      locale_(std::move(locale)),
      stop_(std::move(stop)),
      recorder_(journal, send_, receive_, session, clock),
      intake_(receive_, timer_, clock, locale_),
      sending_(session, params, ui, send_, recorder_, intake_, std::move(refresh_bulletin), stop_),
      poller_(session, params, ui, receive_, timer_, recorder_, send_, stop_) {}

void TransferDesk::keep_by(const TurnKeeper* keeper) {
    keeper_ = keeper;
    send_.keep_by(keeper);
    receive_.keep_by(keeper);
}

void TransferDesk::send() {
    check_turn(keeper_, "TransferDesk::send");
    sending_.run();
    close_sending_session();
}

void TransferDesk::receive() {
    check_turn(keeper_, "TransferDesk::receive");
    if (!sending_.running()) {
        try {
            receive_by_hand(session_, ui_, send_, recorder_, intake_, stop_);
        } catch (const RunStopped&) {
            // The program is ending: what is left of the action is not done.
        }
    }
    close_sending_session();
}

void TransferDesk::close_sending_session() {
    check_turn(keeper_, "TransferDesk::close_sending_session");
    if (!sending_.running()) {
        log_out(sending_.session(), ui_);
    }
}

void TransferDesk::polling_tick() {
    check_turn(keeper_, "TransferDesk::polling_tick");
    poller_.polling_tick();
}

void TransferDesk::close_polling_session() {
    check_turn(keeper_, "TransferDesk::close_polling_session");
    poller_.stop();
}

bool TransferDesk::add_file_to_send(std::string_view name) {
    check_turn(keeper_, "TransferDesk::add_file_to_send");
    return ordano::add_file_to_send(send_, ui_, session_.folders.pag_env, name);
}

void TransferDesk::add_searched_file(std::string_view name) {
    check_turn(keeper_, "TransferDesk::add_searched_file");
    ordano::add_searched_file(send_, session_.folders.pag_env, name);
}

bool TransferDesk::remove_from_send(RowId selected) {
    check_turn(keeper_, "TransferDesk::remove_from_send");
    return ordano::remove_from_send(send_, selected);
}

bool TransferDesk::remove_from_receive(RowId selected) {
    check_turn(keeper_, "TransferDesk::remove_from_receive");
    return ordano::remove_from_receive(receive_, timer_, selected);
}

bool TransferDesk::clear_send_list() {
    check_turn(keeper_, "TransferDesk::clear_send_list");
    return ordano::clear_send_list(send_);
}

void TransferDesk::restore_from_journal(bool send_entries) {
    check_turn(keeper_, "TransferDesk::restore_from_journal");
    const std::vector<std::string> damaged = recorder_.restore(send_entries, locale_);
    if (!damaged.empty()) {
        std::string text =
            "Estos registros de la bitácora de envíos están dañados y no se "
            "volvieron a poner en las listas:";
        for (const std::string& line : damaged) {
            text += "\r\n" + line;
        }
        ui_.message(text, MessageIcon::Critical, MessageButtons::Ok);
    }
    if (!receive_.empty()) {
        timer_.set_enabled(true);
    }
}

int TransferDesk::mark_overdue() {
    check_turn(keeper_, "TransferDesk::mark_overdue");
    return recorder_.mark_overdue(clock_.now(), overdue_minutes(params_));
}

void TransferDesk::stop_polling() {
    check_turn(keeper_, "TransferDesk::stop_polling");
    if (!timer_.enabled()) {
        return;
    }
    timer_.set_enabled(false);
    poller_.cancel_tick();
    recorder_.reception_stopped();
    receive_.clear();
}

}  // namespace ordano
