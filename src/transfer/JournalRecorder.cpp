// SPDX-License-Identifier: Apache-2.0
#include "transfer/JournalRecorder.h"

#include "base/Errors.h"
#include "base/FileNames.h"
#include "base/Sha256.h"
#include "base/TimeStamps.h"
#include "office/Session.h"
#include "review/AnswerOutcome.h"
#include "transfer/FileIcon.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"
#include "transfer/TypedFile.h"

namespace ordano {
namespace {

AnswerVerdict verdict_of(const std::string& name, const std::filesystem::path& stored) {
    const auto outcome = answer_outcome(name, stored);
    if (!outcome) {
        return AnswerVerdict::Unreadable;
    }
    switch (*outcome) {
        case AnswerOutcome::Prevalidated:
            return AnswerVerdict::Prevalidated;
        case AnswerOutcome::Accepted:
            return AnswerVerdict::Accepted;
        case AnswerOutcome::Rejected:
            break;
    }
    return AnswerVerdict::Rejected;
}

}  // namespace

ExpectedAnswers expected_answers(const ReceiveRow& row) {
    return {row.archivo_prev, row.ruta_pre, row.archivo_val, row.ruta_val, row.ruta_dest};
}

JournalRecorder::JournalRecorder(Journal& journal, SendList& send, ReceiveList& receive,
                                 const Sesion& session, const Clock& clock)
    : journal_(journal), send_(send), receive_(receive), session_(session), clock_(clock) {
    watch_send_list();
    watch_receive_list();
}

void JournalRecorder::watch_send_list() {
    ListObserver<SendRow> observer;
    observer.added = [this](std::size_t, const SendRow& row) {
        if (row.pending()) {
            listed(row.id);
        }
    };
    // A file to send taken off the list before it was sent.
    observer.removed = [this](std::size_t, RowId id) {
        if (const auto it = pending_.find(id); it != pending_.end()) {
            journal_.withdrawn(it->second);
            pending_.erase(it);
            changed();
        }
    };
    observer.reset = [this] {
        for (const auto& [row, entry] : pending_) {
            journal_.withdrawn(entry);
        }
        pending_.clear();
        changed();
    };
    send_.subscribe(std::move(observer));
}

void JournalRecorder::watch_receive_list() {
    ListObserver<ReceiveRow> observer;
    // Rows leave when their answers are all in (already told) or when the office stops
    // awaiting them.
    observer.removed = [this](std::size_t, RowId id) {
        if (const auto it = awaited_.find(id); it != awaited_.end()) {
            journal_.no_longer_awaited(it->second.entry);
            awaited_.erase(it);
            changed();
        }
    };
    observer.reset = [this] {
        for (const auto& [row, awaited] : awaited_) {
            journal_.no_longer_awaited(awaited.entry);
        }
        awaited_.clear();
        changed();
    };
    receive_.subscribe(std::move(observer));
}

void JournalRecorder::reception_stopped() {
    for (const auto& [row, awaited] : awaited_) {
        journal_.reception_stopped(awaited.entry);
    }
    awaited_.clear();
    changed();
}

void JournalRecorder::listed(RowId id) {
    if (adopting_ != 0) {
        pending_[id] = adopting_;
        return;
    }
    const SendRow* row = send_.find(id);
    if (row == nullptr) {
        return;
    }
    ListedFile file;
    file.name = row->text;
    if (const auto folder = typed_name_folder(row->text, session_.folders)) {
        // The file the sending run will read, whatever the case of its name on the disk.
        const std::filesystem::path there = path_in_folder(*folder, "");
        file.local_path =
            shown_path(find_file_ignoring_case(there, row->text).value_or(there / row->text));
    }
    file.icono = icon_text(row->small_icon);
    file.ruta_pre = row->ruta_pre;
    file.ruta_val = row->ruta_val;
    pending_[id] = journal_.listed(file);
    changed();
}

void JournalRecorder::changed() const {
    for (const auto& listener : change_listeners_) {
        listener();
    }
}

JournalId JournalRecorder::pending_entry(RowId send_row) const {
    const auto it = pending_.find(send_row);
    return it == pending_.end() ? 0 : it->second;
}

void JournalRecorder::upload_started(RowId send_row, const std::filesystem::path& work_copy,
                                     const std::string& remote_folder,
                                     const std::stop_token& stop) {
    const JournalId entry = pending_entry(send_row);
    if (entry == 0) {
        return;
    }
    FileDigest digest;
    try {
        digest = digest_file(work_copy, stop);
    } catch (const NumberedError&) {
        // The upload itself will meet the same problem and say so.
    }
    journal_.upload_started(entry, digest, remote_folder);
    changed();
}

void JournalRecorder::uploaded(RowId send_row, const ExpectedAnswers& expected, UploadWay way) {
    const JournalId entry = pending_entry(send_row);
    if (entry == 0) {
        return;
    }
    pending_.erase(send_row);
    uploaded_[send_row] = entry;
    journal_.sent(entry, expected, upload_way_text(way));
    changed();
}

void JournalRecorder::upload_unconfirmed(RowId send_row) {
    if (const JournalId entry = pending_entry(send_row)) {
        journal_.unconfirmed(entry);
    }
}

bool JournalRecorder::may_be_on_server(RowId send_row) {
    const JournalId entry = pending_entry(send_row);
    return entry != 0 && journal_.may_be_on_server(entry);
}

void JournalRecorder::awaiting(RowId send_row, RowId receive_row, bool uploaded) {
    const ReceiveRow* row = receive_.find(receive_row);
    if (const auto it = uploaded_.find(send_row); it != uploaded_.end()) {
        // Written when the server confirmed it: the receive row now stands for the entry.
        if (row != nullptr) {
            awaited_[receive_row] = {it->second, clock_.now()};
        }
        uploaded_.erase(it);
        changed();
        return;
    }
    const JournalId entry = pending_entry(send_row);
    if (entry == 0 || row == nullptr) {
        return;
    }
    pending_.erase(send_row);
    awaited_[receive_row] = {entry, clock_.now()};
    if (uploaded) {
        journal_.sent(entry, expected_answers(*row));
    } else {
        journal_.handed_over(entry, expected_answers(*row));
    }
    changed();
}

void JournalRecorder::sent(RowId send_row, RowId receive_row) {
    awaiting(send_row, receive_row, true);
}

void JournalRecorder::handed_over(RowId send_row, RowId receive_row) {
    awaiting(send_row, receive_row, false);
}

void JournalRecorder::failure_met(const std::string& file, const NumberedError& error) const {
    for (const auto& listener : failure_listeners_) {
        listener({file, error.number(), error.description()});
    }
}

void JournalRecorder::send_failed(RowId send_row, const NumberedError& error) {
    if (const SendRow* row = send_.find(send_row)) {
        failure_met(row->text, error);
    }
    if (const JournalId entry = pending_entry(send_row)) {
        journal_.send_failed(entry, error.number(), error.description());
        changed();
    }
}

void JournalRecorder::receive_failed(RowId receive_row, const NumberedError& error) {
    if (const ReceiveRow* row = receive_.find(receive_row)) {
        failure_met(row->text, error);
    }
    if (const auto it = awaited_.find(receive_row); it != awaited_.end()) {
        journal_.failed(it->second.entry, error.number(), error.description());
        changed();
    }
}

void JournalRecorder::answer_stored(RowId receive_row, bool prevalidation,
                                    const std::filesystem::path& stored) {
    const ReceiveRow* row = receive_.find(receive_row);
    const auto it = awaited_.find(receive_row);
    if (row == nullptr || it == awaited_.end()) {
        return;
    }
    const std::string name = stored.filename().string();
    const AnswerVerdict verdict =
        prevalidation ? AnswerVerdict::Prevalidated : verdict_of(name, stored);
    const bool complete = row->complete();
    const std::string file = row->text;
    journal_.answer_stored(it->second.entry,
                           prevalidation ? AnswerRole::Prevalidation : AnswerRole::Validation,
                           stored.string(), verdict, complete);
    if (complete) {
        // The sweep that removes the row is not the office ceasing to await it.
        awaited_.erase(it);
    }
    for (const auto& listener : answer_listeners_) {
        listener({name, verdict, file, stored});
    }
    changed();
}

std::vector<std::string> JournalRecorder::restore(bool send_entries, const LocaleFormats& locale) {
    std::vector<std::string> damaged;
    for (const OpenEntry& entry : journal_.reopen(damaged)) {
        adopting_ = entry.id;
        if (entry.awaiting) {
            ReceiveRow row;
            row.text = entry.file.name;
            const bool prev_done = entry.expected.prev_name.empty() || entry.prev_in;
            row.prev_state = prev_done ? std::string(kAnswerIn) : "";
            row.val_state = entry.val_in ? std::string(kAnswerIn) : "";
            row.sent_at = time_hh_mm_ampm(entry.awaiting_since, locale);
            row.ruta_pre = entry.expected.prev_folder;
            row.ruta_val = entry.expected.val_folder;
            row.archivo_prev = entry.expected.prev_name;
            row.archivo_val = entry.expected.val_name;
            row.ruta_dest = entry.expected.val_destination;
            row.small_icon = icon_of_text(entry.file.icono);
            row.handed_over = !entry.uploaded;
            const RowId id = receive_.append(std::move(row));
            awaited_[id] = {entry.id, entry.awaiting_since};
        } else if (entry.pending && send_entries) {
            SendRow row;
            row.text = entry.file.name;
            row.status = std::string(send_status::kPending);
            row.small_icon = icon_of_text(entry.file.icono);
            row.ruta_pre = entry.file.ruta_pre;
            row.ruta_val = entry.file.ruta_val;
            send_.append(std::move(row));
        }
        adopting_ = 0;
    }
    return damaged;
}

int JournalRecorder::mark_overdue(const LocalDateTime& now, int minutes) {
    // As the history tells it: overdue once the wait is longer than the limit.
    const std::string cutoff = iso_timestamp(add_minutes(now, -minutes));
    int overdue = 0;
    for (const auto& [id, awaited] : awaited_) {
        const bool late = iso_timestamp(awaited.since) < cutoff;
        overdue += late ? 1 : 0;
        const ReceiveRow* row = receive_.find(id);
        if (row != nullptr && row->overdue != late) {
            receive_.update(id, [late](ReceiveRow& r) { r.overdue = late; });
        }
    }
    return overdue;
}

}  // namespace ordano
