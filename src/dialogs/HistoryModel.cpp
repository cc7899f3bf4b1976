// SPDX-License-Identifier: Apache-2.0
#include "dialogs/HistoryModel.h"

#include <QBrush>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include "base/TimeStamps.h"
#include "office/Journal.h"
#include "office/JournalCsv.h"
#include "office/Office.h"
#include "ui/MarkColors.h"

namespace ordano {
namespace {

constexpr int kSummaryBusyTimeoutMs = 2000;

// The journal's sort key of each column, in the columns' order.
constexpr std::array<HistoryColumn, HistoryModel::kColumnCount> kSortKeys = {
    HistoryColumn::Moment, HistoryColumn::File, HistoryColumn::Kind, HistoryColumn::Status,
    HistoryColumn::Answers};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QVariant status_color(const std::string& status) {
    const auto known = status_from_text(status);
    const auto mark = known ? status_mark(*known) : std::nullopt;
    if (!mark) {
        return {};
    }
    return QBrush(mark_color(*mark, QGuiApplication::palette()));
}

QString answers_tip(const JournalRecord& r) {
    QStringList lines;
    for (const AnswerRecord& answer : r.answers) {
        lines << (answer.stored_path.empty() ? qs(answer.name) + QStringLiteral(": en espera")
                                             : qs(answer.stored_path));
    }
    if (!r.damage.empty()) {
        lines << QStringLiteral("Registro dañado: ") + qs(r.damage);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

HistoryModel::HistoryModel(Office& office, QObject* parent)
    : QAbstractTableModel(parent), office_(office), now_(office.clock().now()) {}

JournalReader HistoryModel::reader() const {
    return JournalReader(office_.journal().database(), now_, overdue_minutes(office_.params()));
}

void HistoryModel::refresh() {
    beginResetModel();
    pages_.clear();
    now_ = office_.clock().now();
    office_.journal().flush();
    try {
        count_ = reader().count(filter_);
    } catch (const SQLite::Exception&) {
        // A journal that cannot be read shows empty; the transfers tell what is wrong with it.
        count_ = 0;
    }
    endResetModel();
    start_summary();
}

void HistoryModel::start_summary() {
    // The summary reads every row in range: it is worked out on a thread of the pool, on a
    // connection of its own, while the rows are already on screen. Only the latest counts.
    const std::uint64_t generation = ++summary_generation_;
    auto* watcher = new QFutureWatcher<HistorySummary>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        if (generation == summary_generation_) {
            summary_ = watcher->result();
            emit summary_changed(qs(summary_.text()));
        }
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([file = office_.journal().file(), now = now_,
                                          minutes = overdue_minutes(office_.params()),
                                          filter = filter_]() -> HistorySummary {
        try {
            SQLite::Database db(file.string(), SQLite::OPEN_READONLY);
            db.setBusyTimeout(kSummaryBusyTimeoutMs);
            return JournalReader(db, now, minutes).summary(filter);
        } catch (const SQLite::Exception&) {
            return {};
        }
    }));
}

void HistoryModel::set_filter(HistoryFilter filter) {
    filter_ = std::move(filter);
    refresh();
}

const std::vector<JournalRecord>& HistoryModel::page(int number) const {
    for (auto it = pages_.begin(); it != pages_.end(); ++it) {
        if (it->first == number) {
            pages_.splice(pages_.begin(), pages_, it);
            return pages_.front().second;
        }
    }
    std::vector<JournalRecord> rows;
    try {
        rows = reader().rows(filter_, order_, static_cast<std::int64_t>(number) * kPageRows,
                             kPageRows);
    } catch (const SQLite::Exception&) {
        // shown as empty rows until the next refresh
    }
    pages_.emplace_front(number, std::move(rows));
    if (pages_.size() > kPagesKept) {
        pages_.pop_back();
    }
    return pages_.front().second;
}

const JournalRecord* HistoryModel::record_at(int row) const {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    const auto& rows = page(row / kPageRows);
    const auto at = static_cast<std::size_t>(row % kPageRows);
    return at < rows.size() ? &rows[at] : nullptr;
}

void HistoryModel::export_csv(std::ostream& out) const {
    write_history_csv(out, reader(), filter_, order_);
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(count_);
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString HistoryModel::moment_text(const std::string& iso) const {
    const auto at = parse_iso_timestamp(iso);
    if (!at) {
        return qs(iso);
    }
    return qs(short_date(at->date, office_.locale()) + "  " +
              time_hh_mm_ss_ampm(*at, office_.locale()));
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    const JournalRecord* r = index.isValid() ? record_at(index.row()) : nullptr;
    if (r == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kMoment:
                    return moment_text(r->moment);
                case kFile:
                    return qs(r->file);
                case kKind:
                    return qs(r->kind);
                case kStatus:
                    return qs(r->status);
                case kAnswers:
                    return qs(r->answers_text());
                default:
                    return {};
            }
        case Qt::ForegroundRole:
            return status_color(r->status);
        case Qt::ToolTipRole:
            return answers_tip(*r);
        default:
            return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const std::array<const char*, kColumnCount> kHeaders = {"Fecha y hora", "Archivo",
                                                                   "Tipo", "Estado", "Respuestas"};
    if (section < 0 || section >= kColumnCount) {
        return {};
    }
    const QString title = QString::fromUtf8(kHeaders[static_cast<std::size_t>(section)]);
    if (section != sort_column()) {
        return title;
    }
    return title + (order_.descending ? QStringLiteral(" ▼") : QStringLiteral(" ▲"));
}

int HistoryModel::sort_column() const {
    const auto* found = std::ranges::find(kSortKeys, order_.column);
    return static_cast<int>(found - kSortKeys.begin());
}

void HistoryModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    const HistoryOrder wanted{kSortKeys[static_cast<std::size_t>(column)],
                              order == Qt::DescendingOrder};
    if (wanted.column == order_.column && wanted.descending == order_.descending) {
        return;
    }
    order_ = wanted;
    refresh();
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

}  // namespace ordano
