// SPDX-License-Identifier: Apache-2.0
#include "app/OutcomeColumn.h"

#include <QTreeWidget>

#include <exception>

#include "app/ListColumns.h"
#include "store/JournalQuery.h"
#include "transfer/TransferDesk.h"
#include "ui/MarkColors.h"

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

OutcomeColumn::OutcomeColumn(TransferDesk& desk, QTreeWidget& send_view, QTreeWidget& receive_view,
                             QObject* parent)
    : QObject(parent), desk_(desk), send_view_(send_view), receive_view_(receive_view) {
    watch_send_list();
    watch_receive_list();
    desk_.journal().on_answer([this](const AnswerArrival& arrival) { answer_arrived(arrival); });
    desk_.journal().on_failure([this](const FailureNotice& failure) { failure_met(failure); });
}

void OutcomeColumn::watch_send_list() {
    ListObserver<SendRow> observer;
    observer.added = [this](std::size_t index, const SendRow& row) { show_send(index, row); };
    observer.changed = observer.added;
    observer.removed = [this](std::size_t, RowId id) { failed_.erase(id); };
    observer.reset = [this] { failed_.clear(); };
    desk_.send_list().subscribe(std::move(observer));
    refresh_send_rows();
}

void OutcomeColumn::watch_receive_list() {
    ListObserver<ReceiveRow> observer;
    observer.added = [this](std::size_t index, const ReceiveRow& row) { show_receive(index, row); };
    observer.changed = observer.added;
    desk_.receive_list().subscribe(std::move(observer));
    for (std::size_t i = 0; i < desk_.receive_list().size(); ++i) {
        show_receive(i, desk_.receive_list().at(i));
    }
}

void OutcomeColumn::refresh_send_rows() {
    for (std::size_t i = 0; i < desk_.send_list().size(); ++i) {
        show_send(i, desk_.send_list().at(i));
    }
}

void OutcomeColumn::show_send(std::size_t index, const SendRow& row) {
    std::string_view status;
    if (row.pending()) {
        status =
            status_text(failed_.contains(row.id) ? JourneyStatus::Error : JourneyStatus::Sending);
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
    for (const SendRow& row : desk_.send_list().rows()) {
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
        for (const SendRow& row : desk_.send_list().rows()) {
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
