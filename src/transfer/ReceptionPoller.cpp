// SPDX-License-Identifier: Apache-2.0
#include "transfer/ReceptionPoller.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>
#include <utility>

#include "base/Errors.h"
#include "base/FileNames.h"
#include "base/FlagScope.h"
#include "base/RunStop.h"
#include "base/UiPort.h"
#include "office/Session.h"
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
namespace {

// A session's progress goes to nobody once its transfer is over.
}  // namespace

ReceptionPoller::ReceptionPoller(const Sesion& session, const ParametersRecord& params, UiPort& ui,
                                 ReceiveList& receive, PollingTimer& timer,
                                 ReceptionJournal& journal, SendList& send, std::stop_token stop)
    : session_(session),
      params_(params),
      ui_(ui),
      receive_(receive),
      timer_(timer),
      journal_(journal),
      send_(send),
      stop_(std::move(stop)),
      lanes_(ftp_, stop_) {
    ftp_.stop_with(stop_);
}

void ReceptionPoller::polling_tick() {
    if (timer_.interval() == PollingTimer::kFirstInterval) {
        timer_.set_interval(PollingTimer::kInterval);
    }
    if (in_tick_) {
        return;
    }
    FlagScope in_tick(in_tick_);
    stop_requested_ = false;
    gave_up_with_.reset();
    try {
        tick();
        if (!gave_up_with_ && !stop_requested_) {
            server_answered();
        }
    } catch (const RunStopped&) {
        // The program is ending: the rows keep what they had reached.
        log_out(ftp_, ui_);
    }
}

void ReceptionPoller::tick() {
    const Step login = attempt([this] { log_in(ftp_, false, session_, params_, ui_); });
    if (login == Step::GaveUp || login == Step::Stopped) {
        log_out(ftp_, ui_);
        return;
    }
    if (receive_.empty()) {
        return;  // nothing awaited when the tick began: the session stays open
    }
    if (!fetch_all()) {
        log_out(ftp_, ui_);
        return;
    }
    receive_.sweep();
    log_out(ftp_, ui_);
    if (receive_.empty()) {
        timer_.set_enabled(false);
    }
}

void ReceptionPoller::cancel_tick() {
    if (in_tick_) {
        stop_requested_ = true;
        ftp_.cancel();
        lanes_.cancel_all();
    }
}

void ReceptionPoller::stop() {
    cancel_tick();
    // Safe while a transfer runs: the session closes as soon as the transfer has stopped.
    log_out(ftp_, ui_);
}

bool ReceptionPoller::fetch_all() {
    // Rows are followed by id: one removed while the tick waited is skipped, never read past
    // the end of the list nor brought back.
    const std::vector<RowId> ids = receive_.ids();
    if (!list_folders(ids)) {
        return false;
    }
    // What the listings show, in the order of the rows (prevalidation, then validation): the
    // answers are stored and listed in that order, whichever download ends first. A download
    // that finds an answer a listing called missing makes the folder's answers tried by name:
    // those are fetched next, in the same tick.
    std::set<std::pair<RowId, Answer>> tried;
    for (;;) {
        std::vector<Download> downloads;
        for (const RowId id : ids) {
            for (const Answer which : {Answer::Prevalidation, Answer::Validation}) {
                const auto answer = awaited(id, which);
                if (answer && listings_.remote_name(answer->folder, answer->name) &&
                    tried.emplace(id, which).second) {
                    downloads.push_back({id, which, {}, 0});
                }
            }
        }
        if (downloads.empty()) {
            return true;
        }
        if (!download_all(downloads)) {
            return false;
        }
    }
}

bool ReceptionPoller::download_all(std::vector<Download>& downloads) {
    Step outcome = Step::Done;
    run_on_lanes(
        lanes_, simultaneous_transfers(params_), downloads.size(), ui_,
        office_login(false, session_, params_), [&](TransferLanes& lanes) {
            return lanes.run(
                downloads.size(), [&](std::size_t i) { return prepare_download(downloads[i]); },
                [&](std::size_t i, std::exception_ptr failure, FtpSession* failed_on) {
                    return finish_download(downloads[i], std::move(failure), failed_on, outcome);
                });
        });
    return outcome == Step::Done;
}

std::optional<ReceptionPoller::Awaited> ReceptionPoller::awaited(RowId id, Answer which) const {
    const ReceiveRow* row = receive_.find(id);
    if (row == nullptr) {
        return std::nullopt;
    }
    if (which == Answer::Prevalidation) {
        if (!row->awaits_prevalidation()) {
            return std::nullopt;
        }
        return Awaited{row->ruta_pre, row->archivo_prev, session_.folders.val_rec, image::kNone};
    }
    if (!row->awaits_validation()) {
        return std::nullopt;
    }
    return Awaited{row->ruta_val, row->archivo_val, row->ruta_dest, row->small_icon};
}

// Lists each remote folder that holds an awaited answer, once. A folder the server will not
// list has its answers tried by name for as long as the program talks to that server.
bool ReceptionPoller::list_folders(const std::vector<RowId>& ids) {
    listings_.begin_tick(session_.host);
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
        // Only the awaited answers' names matter, whatever letter case the server gives them.
        std::set<std::string, std::less<>> awaited;
        for (const std::string& name : names) {
            awaited.insert(upper_case_name(name));
        }
        const auto wanted = [&awaited](std::string_view name) {
            return awaited.contains(upper_case_name(name));
        };
        std::vector<std::string> listed;
        const Step step = attempt([&] { listed = list_remote_names(ftp_, ui_, folder, wanted); });
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
            if (const Step step = failed_try(error, ftp_, 0); step != Step::Retry) {
                return step;
            }
        }
    }
    return gave_up();
}

ReceptionPoller::Step ReceptionPoller::failed_try(const NumberedError& error, FtpSession& session,
                                                  RowId row) {
    if (stop_requested_) {
        return Step::Stopped;
    }
    stop_point(stop_);
    if (error.number() == ftp_error::kNotTransferred) {
        return Step::NotTransferred;
    }
    journal_failure(error, row);
    last_failure_ = error;
    if (error.number() == ftp_error::kSessionBroken) {
        // The next try logs in again on a fresh connection.
        log_out(session, ui_);
    } else {
        report_outage(error);
    }
    return Step::Retry;
}

ReceptionPoller::Step ReceptionPoller::gave_up() {
    if (stop_requested_) {
        return Step::Stopped;
    }
    gave_up_with_ = last_failure_;
    if (last_failure_) {
        report_outage(*last_failure_);  // a session that keeps breaking is an outage too
    }
    return Step::GaveUp;
}

void ReceptionPoller::server_answered() {
    if (!outage_) {
        return;
    }
    outage_ = false;
    for (const auto& listener : outage_listeners_) {
        listener(std::nullopt);
    }
}

void ReceptionPoller::journal_failure(const NumberedError& error, RowId row) {
    if (row != 0) {
        journal_.receive_failed(row, error);
        return;
    }
    for (const RowId id : receive_.ids()) {
        journal_.receive_failed(id, error);
    }
}

void ReceptionPoller::on_outage(OutageListener listener) {
    outage_listeners_.push_back(std::move(listener));
}

// Said once for the whole outage, not at every look: the polling goes on by itself, and the
// window shows the outage without a box.
void ReceptionPoller::report_outage(const NumberedError& error) {
    // A look that failed after every answer came in (a session that stalled once they were
    // fetched) leaves nothing to tell: the list is about to empty.
    const bool awaits =
        std::ranges::any_of(receive_.rows(), [](const ReceiveRow& row) { return !row.complete(); });
    if (outage_ || !awaits) {
        return;
    }
    outage_ = true;
    for (const auto& listener : outage_listeners_) {
        listener(error);
    }
    if (const auto text = failure_message(error, link_type(params_), LoginCaller::PollingTimer)) {
        show_ftp_failure(ui_, *text, error,
                         "Los archivos siguen en la lista de recepción: la recepción vuelve a "
                         "intentarlo sola cada pocos segundos.");
    }
}

std::optional<TransferLanes::Work> ReceptionPoller::prepare_download(Download& download) {
    if (stop_requested_) {
        return std::nullopt;
    }
    const auto answer = awaited(download.id, download.which);
    if (!answer) {
        return std::nullopt;  // in meanwhile, or its row is gone
    }
    // Downloaded under the server's spelling of the name, stored under the awaited one.
    const auto remote_name = listings_.remote_name(answer->folder, answer->name);
    if (!remote_name) {
        return std::nullopt;
    }
    download.remote_name = *remote_name;
    return [work = session_.paths.work_folder, folder = answer->folder, name = *remote_name](
               FtpSession& session, const auto& progress) {
        const ScopedProgress told(session,
                                  [&progress, &name](std::int64_t done, std::int64_t total) {
                                      progress({.what = name, .done = done, .total = total});
                                  });
        session.download(work / name, folder, name);
    };
}

TransferLanes::Next ReceptionPoller::finish_download(Download& download, std::exception_ptr failure,
                                                     FtpSession* failed_on, Step& outcome) {
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const NumberedError& error) {
            const Step step = failed_try(error, *failed_on, download.id);
            if (step == Step::NotTransferred) {
                return TransferLanes::Next::Go;  // not there (yet)
            }
            if (step == Step::Retry && ++download.tries < kAttempts) {
                return TransferLanes::Next::Again;
            }
            outcome = step == Step::Retry ? gave_up() : step;
            return TransferLanes::Next::Halt;
        }
    }
    ui_.yield();
    const auto work_copy = session_.paths.work_folder / download.remote_name;
    const auto answer = awaited(download.id, download.which);
    if (!answer) {
        remove_quietly(work_copy);  // the row went while the download ran
        return TransferLanes::Next::Go;
    }
    if (stop_requested_) {
        remove_quietly(work_copy);
        outcome = Step::Stopped;
        return TransferLanes::Next::Halt;
    }
    store_fetched(download, *answer, work_copy);
    return TransferLanes::Next::Go;
}

void ReceptionPoller::store_fetched(const Download& download, const Awaited& answer,
                                    const std::filesystem::path& work_copy) {
    const RowId id = download.id;
    listings_.fetched(answer.folder);
    std::error_code ec;
    const auto size = std::filesystem::file_size(work_copy, ec);
    if (ec) {
        return;
    }
    if (size == 0 || receive_.find(id) == nullptr) {
        // An empty answer is not an answer; a row removed meanwhile is not brought back.
        remove_quietly(work_copy);
        return;
    }
    if (!store(id, work_copy, answer.destination, answer.name)) {
        return;  // the row keeps awaiting; the answer stays on the server
    }
    // The answer is in.
    const Answer which = download.which;
    receive_.update(id, [which](ReceiveRow& r) {
        (which == Answer::Prevalidation ? r.prev_state : r.val_state) = std::string(kAnswerIn);
    });
    journal_.answer_stored(id, which == Answer::Prevalidation,
                           std::filesystem::path(answer.destination) / answer.name);
    ui_.yield();
    remove_quietly(work_copy);
    list_received(answer.name, which, answer.small_icon);
}

bool ReceptionPoller::store(RowId id, const std::filesystem::path& work_copy,
                            const std::filesystem::path& folder, const std::string& name) {
    try {
        move_into_place(work_copy, folder / name);
        unwritable_reported_.erase(folder.string());
        return true;
    } catch (const NumberedError& error) {
        journal_.receive_failed(id, error);
        // Said once per folder until it can be written again, not on every tick.
        if (unwritable_reported_.insert(folder.string()).second) {
            ui_.message("No se pudo guardar la respuesta " + name + " en la carpeta de recepción " +
                            folder.string() + ":\r\n" + error.description() +
                            "\r\nLa respuesta sigue en el servidor; se volverá a intentar.",
                        MessageIcon::Critical, MessageButtons::Ok);
        }
        return false;
    }
}

void ReceptionPoller::list_received(const std::string& name, Answer which, int small_icon) {
    SendRow row;
    row.text = name;
    if (which == Answer::Prevalidation) {
        row.status = std::string(send_status::kPrevalidation);
        row.small_icon = image::kPrevalidationAnswer;
    } else {
        row.status = std::string(send_status::kValidation);
        row.small_icon = small_icon;
    }
    send_.set_current_row(send_.append(std::move(row)));
}

}  // namespace ordano
