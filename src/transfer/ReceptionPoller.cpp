// SPDX-License-Identifier: Apache-2.0
#include "transfer/ReceptionPoller.h"

#include <map>
#include <system_error>

#include "store/Errors.h"
#include "store/FlagScope.h"
#include "store/RunStop.h"
#include "store/Session.h"
#include "store/UiPort.h"
#include "transfer/FileIcon.h"
#include "transfer/FtpRoutines.h"
#include "transfer/JournalRecorder.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"
#include "transfer/TransferErrors.h"
#include "transfer/TransferFiles.h"

namespace ordano {
ReceptionPoller::ReceptionPoller(TransferContext context) : ctx_(context) {
    eftpRecepcion_.stop_with(ctx_.stop);
}

void ReceptionPoller::tmrPreVal_Timer() {
    if (ctx_.timer.interval() == PollingTimer::kFirstInterval) {
        ctx_.timer.set_interval(PollingTimer::kInterval);
    }
    if (in_tick_) {
        return;
    }
    FlagScope in_tick(in_tick_);
    stop_requested_ = false;
    reported_ = false;
    gave_up_with_.reset();
    try {
        tick();
    } catch (const RunStopped&) {
        // The program is ending: the rows keep what they had reached.
        Desconecta_FTP(eftpRecepcion_, ctx_.ui);
    }
}

void ReceptionPoller::tick() {
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
    const std::vector<RowId> ids = ctx_.receive.ids();
    if (!list_folders(ids)) {
        return false;
    }
    for (const RowId id : ids) {
        for (const Answer which : {Answer::Prevalidation, Answer::Validation}) {
            const Step step = fetch(id, which);
            if (step == Step::GaveUp || step == Step::Stopped) {
                return false;
            }
        }
    }
    return true;
}

std::optional<ReceptionPoller::Awaited> ReceptionPoller::awaited(RowId id, Answer which) const {
    const ReceiveRow* row = ctx_.receive.find(id);
    if (row == nullptr) {
        return std::nullopt;
    }
    if (which == Answer::Prevalidation) {
        if (!row->awaits_prevalidation()) {
            return std::nullopt;
        }
        return Awaited{row->ruta_prev, row->archivo_prev, ctx_.session.folders.val_rec, ""};
    }
    if (!row->awaits_validation()) {
        return std::nullopt;
    }
    return Awaited{row->ruta_val, row->archivo_val, row->ruta_dest, row->icono};
}

// Lists each remote folder that holds an awaited answer, once. A folder the server will not
// list has its answers tried by name for as long as the program talks to that server.
bool ReceptionPoller::list_folders(const std::vector<RowId>& ids) {
    listings_.begin_tick(ctx_.session.host);
    std::map<std::string, std::vector<std::string>> folders;  // awaited names by folder
    for (const RowId id : ids) {
        for (const Answer which : {Answer::Prevalidation, Answer::Validation}) {
            if (const auto answer = awaited(id, which)) {
                folders[answer->folder].push_back(answer->name);
            }
        }
    }
    for (const auto& [folder, names] : folders) {
        if (!listings_.wants_listing(folder)) {
            continue;
        }
        std::vector<std::string> listed;
        const Step step =
            attempt([&] { listed = list_remote_names(eftpRecepcion_, ctx_.ui, folder); });
        if (step == Step::NotTransferred) {
            listings_.refused(folder);
        } else if (step == Step::Done) {
            listings_.listed(folder, listed, names);
        } else {
            return false;
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
            stop_point(ctx_.stop);
            if (error.number() == ftp_error::kNotTransferred) {
                return Step::NotTransferred;
            }
            journal_failure(error);
            last_failure_ = error;
            if (error.number() == ftp_error::kSessionBroken) {
                // The next try logs in again on a fresh connection.
                Desconecta_FTP(eftpRecepcion_, ctx_.ui);
            } else {
                report_once(error);
            }
        }
    }
    if (stop_requested_) {
        return Step::Stopped;
    }
    gave_up_with_ = last_failure_;
    return Step::GaveUp;
}

void ReceptionPoller::journal_failure(const NumberedError& error) {
    if (fetching_ != 0) {
        ctx_.journal.receive_failed(fetching_, error);
        return;
    }
    for (const RowId id : ctx_.receive.ids()) {
        ctx_.journal.receive_failed(id, error);
    }
}

void ReceptionPoller::report_once(const NumberedError& error) {
    if (reported_) {
        return;
    }
    reported_ = true;
    if (const auto text = failure_message(error, ctx_.link_type(), LoginCaller::PollingTimer)) {
        show_ftp_failure(ctx_.ui, *text, error,
                         "Los archivos siguen en la lista de recepción: la recepción vuelve a "
                         "intentarlo sola cada pocos segundos.");
    }
}

ReceptionPoller::Step ReceptionPoller::fetch(RowId id, Answer which) {
    if (stop_requested_) {
        return Step::Stopped;
    }
    const auto answer = awaited(id, which);
    if (!answer) {
        return Step::Done;
    }
    // Downloaded under the server's spelling of the name, stored under the awaited one.
    const auto remote_name = listings_.remote_name(answer->folder, answer->name);
    if (!remote_name) {
        return Step::Done;  // not listed: not on the server yet
    }
    const auto& work = ctx_.session.paths.work_folder;

    fetching_ = id;
    const Step step =
        attempt([&] { Baja_Archivo(eftpRecepcion_, ctx_.ui, work, answer->folder, *remote_name); });
    fetching_ = 0;
    if (step != Step::Done) {
        return step == Step::NotTransferred ? Step::Done : step;  // not there (yet)
    }
    listings_.fetched(answer->folder);
    const auto work_copy = work / *remote_name;
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
    if (!store(id, work_copy, answer->destination, answer->name)) {
        return Step::Done;  // the row keeps awaiting; the answer stays on the server
    }
    // The answer is in.
    ctx_.receive.update(id, [which](ReceiveRow& r) {
        (which == Answer::Prevalidation ? r.prev_state : r.val_state) = std::string(kAnswerIn);
    });
    ctx_.journal.answer_stored(id, which == Answer::Prevalidation,
                               std::filesystem::path(answer->destination) / answer->name);
    ctx_.ui.yield();
    remove_quietly(work_copy);
    list_received(answer->name, which, answer->icono);
    return Step::Done;
}

bool ReceptionPoller::store(RowId id, const std::filesystem::path& work_copy,
                            const std::filesystem::path& folder, const std::string& name) {
    try {
        move_into_place(work_copy, folder / name);
        unwritable_reported_.erase(folder.string());
        return true;
    } catch (const NumberedError& error) {
        ctx_.journal.receive_failed(id, error);
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
