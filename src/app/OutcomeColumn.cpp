// SPDX-License-Identifier: Apache-2.0
#include "app/OutcomeColumn.h"

#include <QTreeWidget>

#include <exception>

#include "app/ListColumns.h"
#include "office/JournalQuery.h"
#include "transfer/JournalRecorder.h"
#include "ui/MarkColors.h"
#include "ui/WindowThread.h"

namespace ordano {
namespace {

JourneyStatus receive_status(const ReceiveRow& row) {
    if (row.overdue) {
        return JourneyStatus::Overdue;
    }
    const bool prevalidated = !row.archivo_prev.empty() && row.prev_state == kAnswerIn;
    return prevalidated ? JourneyStatus::Prevalidated : JourneyStatus::Waiting;
}

// Writes a status into the column, in its colour; nothing for an unknown one.
void show_status(QTreeWidget& view, std::size_t index, int column, std::string_view status) {
    QTreeWidgetItem* item = view.topLevelItem(static_cast<int>(index));
    if (item == nullptr) {
        return;
    }
    const QString text = QString::fromUtf8(status.data(), static_cast<qsizetype>(status.size()));
    const auto known = status_from_text(status);
    const auto mark = known ? status_mark(*known) : std::nullopt;
    item->setText(column, text);
    item->setForeground(column, mark ? QBrush(mark_color(*mark, view.palette())) : QBrush());
}

}  // namespace

OutcomeColumn::OutcomeColumn(ListMirror<SendRow>& send, ListMirror<ReceiveRow>& receive,
                             QTreeWidget& send_view, QTreeWidget& receive_view,
                             JournalRecorder& journal, QObject* parent)
    : QObject(parent),
      send_(send),
      receive_(receive),
      send_view_(send_view),
      receive_view_(receive_view) {
    watch_send_list();
    watch_receive_list();
    // Told with the engine's turn on the thread that met them; shown on the window's.
    journal.on_answer([this](const AnswerArrival& arrival) {
        on_thread_of(this, [this, arrival] { answer_arrived(arrival); });
    });
    journal.on_failure([this](const FailureNotice& failure) {
        on_thread_of(this, [this, failure] { failure_met(failure); });
    });
}

void OutcomeColumn::watch_send_list() {
    ListObserver<SendRow> observer;
    observer.added = [this](std::size_t index, const SendRow& row) { show_send(index, row); };
    observer.changed = observer.added;
    observer.removed = [this](std::size_t, RowId id) { failed_.erase(id); };
    observer.reset = [this] { failed_.clear(); };
    send_.observe(std::move(observer));
    refresh_send_rows();
}

void OutcomeColumn::watch_receive_list() {
    ListObserver<ReceiveRow> observer;
    observer.added = [this](std::size_t index, const ReceiveRow& row) { show_receive(index, row); };
    observer.changed = observer.added;
    receive_.observe(std::move(observer));
    for (std::size_t i = 0; i < receive_.rows().size(); ++i) {
        show_receive(i, receive_.rows()[i]);
    }
}

void OutcomeColumn::refresh_send_rows() {
    for (std::size_t i = 0; i < send_.rows().size(); ++i) {
        show_send(i, send_.rows()[i]);
    }
}

void OutcomeColumn::show_send(std::size_t index, const SendRow& row) {
    std::string_view status;
    if (row.pending()) {
        status =
            status_text(failed_.contains(row.id) ? JourneyStatus::Error : JourneyStatus::Sending);
    } else if (row.status.empty()) {
        status = status_text(JourneyStatus::Waiting);  // sent by the run under way
    } else if (const auto it = verdicts_.find(row.text); it != verdicts_.end()) {
        status = verdict_status(it->second);
    }
    show_status(send_view_, index, send_list::kOutcome, status);
}

void OutcomeColumn::show_receive(std::size_t index, const ReceiveRow& row) {
    show_status(receive_view_, index, receive_list::kOutcome, status_text(receive_status(row)));
}

// Told before the answer's row is added to the send list (and again for a name that comes
// back).
void OutcomeColumn::answer_arrived(const AnswerArrival& arrival) {
    verdicts_[arrival.name] = arrival.verdict;
    refresh_send_rows();
}

void OutcomeColumn::failure_met(const FailureNotice& failure) {
    bool marked = false;
    for (const SendRow& row : send_.rows()) {
        if (row.pending() && row.text == failure.file) {
            marked = failed_.insert(row.id).second || marked;
        }
    }
    if (marked) {
        refresh_send_rows();
    }
}

void OutcomeColumn::read_failures(const JournalReader& journal) {
    try {
        for (const SendRow& row : send_.rows()) {
            const auto latest = row.pending() ? journal.latest_of(row.text) : std::nullopt;
            if (latest && latest->status == status_text(JourneyStatus::Error)) {
                failed_.insert(row.id);
            }
        }
    } catch (const std::exception&) {
        // A journal that cannot be read marks nothing; the transfers say what is wrong with it.
    }
    refresh_send_rows();
}

}  // namespace ordano
