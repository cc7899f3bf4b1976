#include "transfer/ReceptionPoller.h"

#include <system_error>

#include "store/Errors.h"
#include "store/FlagScope.h"
#include "store/Session.h"
#include "store/UiPort.h"
#include "transfer/FileIcon.h"
#include "transfer/FtpRoutines.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"
#include "transfer/TransferErrors.h"
#include "transfer/TransferFiles.h"

namespace ordano {
ReceptionPoller::ReceptionPoller(TransferContext context) : ctx_(context) {}

void ReceptionPoller::tmrPreVal_Timer() {
    if (ctx_.timer.interval() == PollingTimer::kFirstInterval) {
        ctx_.timer.set_interval(PollingTimer::kInterval);
    }
    if (in_tick_) {
        return;
    }
    FlagScope tick(in_tick_);
    stop_requested_ = false;
    reported_ = false;

    const Step login =
        attempt([this] { Conecta_FTP(eftpRecepcion_, false, ctx_.session, ctx_.params, ctx_.ui); });
    if (login == Step::GaveUp || login == Step::Stopped) {
        Desconecta_FTP(eftpRecepcion_, ctx_.ui);
        return;
    }
    if (ctx_.receive.empty()) {
        return;  // nothing awaited when the tick began: the session stays open
    }
    if (!fetch_all()) {
        Desconecta_FTP(eftpRecepcion_, ctx_.ui);
        return;
    }
    ctx_.receive.sweep();
    Desconecta_FTP(eftpRecepcion_, ctx_.ui);
    if (ctx_.receive.empty()) {
        ctx_.timer.set_enabled(false);
    }
}

void ReceptionPoller::stop() {
    if (in_tick_) {
        stop_requested_ = true;
        eftpRecepcion_.cancel();
    }
    // Safe while a transfer runs: the session closes as soon as the transfer has stopped.
    Desconecta_FTP(eftpRecepcion_, ctx_.ui);
}

bool ReceptionPoller::fetch_all() {
    // Rows are followed by id: one removed while the tick waited is skipped, never read past
    // the end of the list nor brought back.
    for (const RowId id : ctx_.receive.ids()) {
        for (const Answer which : {Answer::Prevalidation, Answer::Validation}) {
            const Step step = fetch(id, which);
            if (step == Step::GaveUp || step == Step::Stopped) {
                return false;
            }
        }
    }
    return true;
}

template <typename Work>
ReceptionPoller::Step ReceptionPoller::attempt(Work&& work) {
    for (int i = 0; i < kAttempts; ++i) {
        if (stop_requested_) {
            return Step::Stopped;
        }
        try {
            work();
            return stop_requested_ ? Step::Stopped : Step::Done;
        } catch (const NumberedError& error) {
            if (stop_requested_) {
                return Step::Stopped;
            }
            if (error.number() == ftp_error::kNotTransferred) {
                return Step::NotTransferred;
            }
            if (error.number() == ftp_error::kSessionBroken) {
                // The next try logs in again on a fresh connection.
                Desconecta_FTP(eftpRecepcion_, ctx_.ui);
            } else {
                report_once(error);
            }
        }
    }
    return stop_requested_ ? Step::Stopped : Step::GaveUp;
}

void ReceptionPoller::report_once(const NumberedError& error) {
    if (reported_) {
        return;
    }
    reported_ = true;
    if (const auto text = failure_message(error, ctx_.link_type(), LoginCaller::PollingTimer)) {
        show_ftp_failure(ctx_.ui, *text, error);
    }
}

ReceptionPoller::Step ReceptionPoller::fetch(RowId id, Answer which) {
    const ReceiveRow* row = ctx_.receive.find(id);
    const bool prevalidation = which == Answer::Prevalidation;
    if (stop_requested_) {
        return Step::Stopped;
    }
    if (row == nullptr ||
        !(prevalidation ? row->awaits_prevalidation() : row->awaits_validation())) {
        return Step::Done;
    }
    const std::string folder = prevalidation ? row->ruta_prev : row->ruta_val;
    const std::string name = prevalidation ? row->archivo_prev : row->archivo_val;
    const std::string destination = prevalidation ? ctx_.session.folders.val_rec : row->ruta_dest;
    const std::string icono = row->icono;
    const auto& work = ctx_.session.paths.work_folder;

    const Step step = attempt([&] { Baja_Archivo(eftpRecepcion_, ctx_.ui, work, folder, name); });
    if (step != Step::Done) {
        return step == Step::NotTransferred ? Step::Done : step;
    }
    const auto work_copy = work / name;
    std::error_code ec;
    const auto size = std::filesystem::file_size(work_copy, ec);
    if (ec) {
        return Step::Done;
    }
    if (size == 0 || ctx_.receive.find(id) == nullptr) {
        // An empty answer is not an answer; a row removed meanwhile is not brought back.
        remove_quietly(work_copy);
        return Step::Done;
    }
    if (!store(work_copy, destination, name)) {
        return Step::Done;  // the row keeps awaiting; the answer stays on the server
    }
    ctx_.receive.update(id, [prevalidation](ReceiveRow& r) {
        (prevalidation ? r.prev_state : r.val_state) = std::string(kAnswerIn);
    });
    ctx_.ui.yield();
    remove_quietly(work_copy);
    list_received(name, which, icono);
    return Step::Done;
}

bool ReceptionPoller::store(const std::filesystem::path& work_copy,
                            const std::filesystem::path& folder, const std::string& name) {
    try {
        move_into_place(work_copy, folder / name);
        unwritable_reported_.erase(folder.string());
        return true;
    } catch (const NumberedError& error) {
        // Said once per folder until it can be written again, not on every tick.
        if (unwritable_reported_.insert(folder.string()).second) {
            ctx_.ui.message("No se pudo guardar la respuesta " + name +
                                " en la carpeta de recepción " + folder.string() + ":\r\n" +
                                error.description() +
                                "\r\nLa respuesta sigue en el servidor; se volverá a intentar.",
                            MessageIcon::Critical, MessageButtons::Ok);
        }
        return false;
    }
}

void ReceptionPoller::list_received(const std::string& name, Answer which,
                                    const std::string& icono) {
    SendRow row;
    row.text = name;
    if (which == Answer::Prevalidation) {
        row.status = std::string(send_status::kPrevalidation);
        row.small_icon = image::kPrevalidationAnswer;
    } else {
        row.status = std::string(send_status::kValidation);
        // An icon number that is empty or not a number gives no icon.
        row.small_icon = whole_number(icono).value_or(image::kNone);
    }
    ctx_.send.set_current_row(ctx_.send.append(std::move(row)));
}

}  // namespace ordano
