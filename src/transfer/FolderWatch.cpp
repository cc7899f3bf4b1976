// SPDX-License-Identifier: Apache-2.0
#include "transfer/FolderWatch.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "base/FileNames.h"
#include "base/RunStop.h"
#include "office/Journal.h"
#include "office/Office.h"
#include "transfer/FtpSession.h"
#include "transfer/Routing.h"

namespace ordano {
namespace {

// A failure that says the server could not be reached or would not have us, as opposed to one
// of a file (local numbers, 1003: the server refused that transfer).
bool server_failure(int number) {
    return number >= 1000 && number != ftp_error::kNotTransferred;
}

bool is_payment(const SendRow& row) {
    return kind_letter(row.text) == 'E';
}

WatchEvent event_of(WatchEvent::Kind kind, std::string file = {}) {
    WatchEvent event;
    event.kind = kind;
    event.file = std::move(file);
    return event;
}

}  // namespace

FolderWatch::FolderWatch(Office& office, DeskWork& work, WatchUi& ui, WatchOptions options,
                         EventSink events)
    : office_(office),
      work_(work),
      ui_(ui),
      options_(options),
      events_(std::move(events)),
      sent_digests_(office.journal().database()),
      ready_(
          [this](const FolderFile& file) {
              const std::string on_disk = shown_path(file.path.filename());
              // A finished upload the journal has not written yet was sent all the same.
              if (auto owed = office_.journal().owed_sent(file.name, on_disk)) {
                  return owed;
              }
              return sent_digests_.last_sent(file.name, on_disk);
          },
          options.settle, office.stop_token()),
      backoff_(options.interval) {
    // Files left to send by an earlier run come back too, so that the journal says what became
    // of them: the first look takes them off the list again, and sends each when it is ready.
    work_.with_turn([this] { desk().restore_from_journal(true); });
    ListObserver<ReceiveRow> sent;
    sent.added = [this](std::size_t, const ReceiveRow& row) { file_sent(row.text); };
    desk().receive_list().subscribe(std::move(sent));
    desk().journal().on_answer([this](const AnswerArrival& arrival) { answer_stored(arrival); });
    desk().journal().on_failure([this](const FailureNotice& notice) { failure_met(notice); });
}

FolderWatch::~FolderWatch() {
    work_.with_turn([this] { desk().send_list().clear(); });
}

bool FolderWatch::pass() {
    failed_ = false;
    look();
    if (server_may_be_tried()) {
        send();
    }
    if (awaiting() && server_may_be_tried()) {
        poll();
    }
    check_overdue();
    end_pass();
    return !failed_;
}

void FolderWatch::run(const std::stop_token& stop) {
    auto next_pass = Steady::now();
    auto next_tick = Steady::time_point::max();
    const auto timer_interval = [this] {
        return std::chrono::milliseconds(desk().timer().interval());
    };
    while (!stop.stop_requested()) {
        if (Steady::now() >= next_pass) {
            pass();
            next_pass = Steady::now() + options_.interval;
            next_tick = Steady::now() + timer_interval();
        } else if (Steady::now() >= next_tick) {
            if (awaiting() && server_may_be_tried()) {
                poll();
                check_overdue();
                end_pass();
            }
            next_tick = Steady::now() + timer_interval();
        }
        auto wake = next_pass;
        if (awaiting()) {
            wake = std::min(wake, std::max(next_tick, next_try_));
        }
        sleep_until(wake, stop);
    }
}

bool FolderWatch::once(const std::stop_token& stop) {
    look();
    sleep_until(Steady::now() + options_.settle, stop);
    return stop.stop_requested() || pass();
}

void FolderWatch::sleep_until(Steady::time_point wake, const std::stop_token& stop) {
    std::mutex mutex;
    std::condition_variable_any never_notified;  // only a stop wakes it early
    std::unique_lock lock(mutex);
    never_notified.wait_until(lock, stop, wake, [] { return false; });
}

void FolderWatch::look() {
    work_.with_turn([this] { look_at_folders(); });
}

void FolderWatch::look_at_folders() {
    Sesion& session = office_.session();
    // A watch outlives the day it started on.
    session.dia_juliano = day_of_year(office_.clock().today());
    if (session.dia_juliano != day_) {
        day_ = session.dia_juliano;
        failures_told_.clear();
        left_told_.clear();
    }
    const FolderLook found = look_at_send_folders(session.folders, session.dia_juliano);
    for (const auto& [folder, error] : found.failures) {
        tell_failure(folder, error);
    }
    tell_clashes(found.clashes);
    ReadyLook ready;
    try {
        ready = ready_.look(found.files);
    } catch (const RunStopped&) {
        return;  // the watch is ending: a file read halfway is judged at the next start
    }
    for (const auto& [name, error] : ready.failures) {
        tell_failure(name, error);
    }
    list_ready(ready);
}

void FolderWatch::tell_clashes(const std::vector<std::vector<std::string>>& clashes) {
    for (const auto& spellings : clashes) {
        std::string names;
        for (const std::string& name : spellings) {
            names += (names.empty() ? "" : " y ") + name;
        }
        tell_left(
            upper_case_name(spellings.front()),
            "hay archivos que solo difieren en mayúsculas (" + names + "); no se envía ninguno");
    }
}

void FolderWatch::list_ready(const ReadyLook& ready) {
    std::map<std::string, ReadyFile> now;
    for (const ReadyFile& file : ready.ready) {
        if (kind_letter(file.file.name) == 'E' && !ui_.payment_password_given()) {
            tell_left(file.file.name, "falta la contraseña de pago electrónico");
        } else if (kind_letter(file.file.name) == 'E' && payment_refused_) {
            tell_left(file.file.name, "la contraseña de pago electrónico no fue aceptada");
        } else {
            now.emplace(file.file.name, file);
        }
    }
    // A file listed earlier that is no longer ready (changing again, gone, or sent meanwhile)
    // waits for a later look.
    SendList& send = desk().send_list();
    std::vector<RowId> stale;
    for (const SendRow& row : send.rows()) {
        if (row.pending() && !now.contains(row.text)) {
            stale.push_back(row.id);
        }
    }
    for (const RowId id : stale) {
        send.remove(id);
    }
    for (const auto& [name, file] : now) {
        if (!send.has_pending(name)) {
            desk().add_file_to_send(name);
        }
    }
    listed_ = std::move(now);
}

void FolderWatch::send() {
    const auto& rows = desk().send_list().rows();
    if (std::ranges::none_of(rows, [](const SendRow& row) { return row.pending(); })) {
        return;
    }
    talked_ = true;
    if (!work_.run(DeskWork::Run::Send)) {
        return;  // refused for now: the files stay listed for the next pass
    }
    server_answered(desk().sending_run().ended_by());
    if (!ui_.take_password_refusal()) {
        return;
    }
    const auto payment = [](const SendRow& row) { return row.pending() && is_payment(row); };
    if (ui_.payment_password_given() && std::ranges::any_of(rows, payment)) {
        // The other files go at the next pass, without the payment files.
        payment_refused_ = true;
        leave_unsent(payment, "la contraseña de pago electrónico no fue aceptada");
    } else {
        leave_unsent([](const SendRow& row) { return row.pending(); },
                     "el servidor pide la contraseña de pago electrónico para todo envío");
    }
}

void FolderWatch::poll() {
    talked_ = true;
    work_.run(DeskWork::Run::Look);
    server_answered(desk().poller().gave_up_with());
    // The answers listed for review ("K", "R") have been told; nobody opens them here, and a
    // watch that runs for months must not keep one row per answer.
    work_.with_turn([this] {
        SendList& send = desk().send_list();
        std::vector<RowId> answers;
        for (const SendRow& row : send.rows()) {
            if (!row.pending()) {
                answers.push_back(row.id);
            }
        }
        for (const RowId id : answers) {
            send.remove(id);
        }
    });
}

// Only a pass that talked to the server may show that what was said is over: the passes that
// leave it alone while an outage's wait runs say nothing, and the outage lasts.
void FolderWatch::end_pass() {
    if (std::exchange(talked_, false)) {
        ui_.pass_ended();
    }
}

void FolderWatch::server_answered(const std::optional<NumberedError>& failure) {
    if (failure && server_failure(failure->number())) {
        failed_ = true;
        const std::chrono::seconds wait = backoff_.failed();
        next_try_ = Steady::now() + wait;
        if (!outage_told_) {
            outage_told_ = true;
            WatchEvent event = event_of(WatchEvent::Kind::Failure);
            event.number = failure->number();
            event.text = failure->description();
            event.retry_in = wait;
            tell(std::move(event));
        }
        return;
    }
    backoff_.succeeded();
    next_try_ = {};
    if (outage_told_) {
        outage_told_ = false;
        tell(event_of(WatchEvent::Kind::Reconnected));
    }
}

void FolderWatch::leave_unsent(const std::function<bool(const SendRow&)>& which,
                               const std::string& reason) {
    for (const SendRow& row : desk().send_list().rows()) {
        if (which(row)) {
            tell_left(row.text, reason);
        }
    }
}

void FolderWatch::check_overdue() {
    work_.with_turn([this] { desk().mark_overdue(); });
    std::set<RowId> overdue;
    for (const ReceiveRow& row : desk().receive_list().rows()) {
        if (!row.overdue) {
            continue;
        }
        overdue.insert(row.id);
        if (!overdue_told_.contains(row.id)) {
            tell(event_of(WatchEvent::Kind::Overdue, row.text));
        }
    }
    overdue_told_ = std::move(overdue);
}

void FolderWatch::failure_met(const FailureNotice& notice) {
    if (server_failure(notice.number)) {
        return;  // told once for the whole outage
    }
    if (office_.stop_token().stop_requested()) {
        return;  // the watch is ending: the upload it cut short is no fault (the journal says so)
    }
    failed_ = true;
    tell_failure(notice.file, NumberedError(notice.number, notice.text));
}

void FolderWatch::answer_stored(const AnswerArrival& arrival) {
    WatchEvent event = event_of(WatchEvent::Kind::Answer, arrival.file);
    event.answer = arrival.name;
    event.outcome = std::string(verdict_status(arrival.verdict));
    event.path = shown_path(arrival.stored);
    tell(std::move(event));
}

void FolderWatch::file_sent(const std::string& name) {
    const auto listed = listed_.find(name);
    if (listed == listed_.end()) {
        return;
    }
    ready_.sent(listed->second.file, listed->second.sha256);
    std::erase_if(failures_told_, [&name](const auto& told) { return told.first == name; });
    WatchEvent event = event_of(WatchEvent::Kind::Sent, name);
    if (const auto route = route_for(name, office_.session())) {
        event.folder = route->remote_in;
    }
    tell(std::move(event));
}

bool FolderWatch::awaiting() {
    return !desk().receive_list().empty() && desk().timer().enabled();
}

void FolderWatch::tell(WatchEvent event) {
    event.at = office_.clock().now();
    events_(event);
}

void FolderWatch::tell_failure(const std::string& file, const NumberedError& error) {
    failed_ = true;
    if (failures_told_.emplace(file, error.number()).second) {
        WatchEvent event = event_of(WatchEvent::Kind::Failure, file);
        event.number = error.number();
        event.text = error.description();
        tell(std::move(event));
    }
}

void FolderWatch::tell_left(const std::string& file, const std::string& reason) {
    if (left_told_.insert(file).second) {
        WatchEvent event = event_of(WatchEvent::Kind::Left, file);
        event.text = reason;
        tell(std::move(event));
    }
}

}  // namespace ordano
