// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <iosfwd>
#include <list>
#include <optional>
#include <utility>
#include <vector>

#include "base/DateTime.h"
#include "office/JournalQuery.h"

namespace ordano {

class Office;

// The history list over the journal: the rows are read a page at a time as the view asks for
// them, and only a few pages are kept, so a journal of any size opens at once. Counting, the
// summary and sorting are the database's.
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column : int { kMoment, kFile, kKind, kStatus, kAnswers, kColumnCount };
    static constexpr int kPageRows = 200;
    static constexpr std::size_t kPagesKept = 12;

    // Empty until the first refresh().
    explicit HistoryModel(Office& office, QObject* parent = nullptr);

    // Reads the journal again (the count, the summary, the overdue limit as of now).
    void refresh();
    void set_filter(HistoryFilter filter);
    [[nodiscard]] const HistoryFilter& filter() const { return filter_; }
    // The summary of the rows in range as of the last refresh, once it has been worked out
    // (after the rows are shown; summary_changed tells when).
    [[nodiscard]] const HistorySummary& summary() const { return summary_; }
    // The row shown at this position; nullptr past the end or when it cannot be read.
    [[nodiscard]] const JournalRecord* record_at(int row) const;
    // The shown rows, in the shown order.
    void export_csv(std::ostream& out) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    // The column the rows are sorted by, and which way. Its header ends with "▼" when its
    // values fall down the list (newest first), "▲" when they rise.
    [[nodiscard]] int sort_column() const;
    [[nodiscard]] Qt::SortOrder sort_order() const {
        return order_.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    }

signals:
    void summary_changed(const QString& text);

private:
    [[nodiscard]] JournalReader reader() const;
    void start_summary();
    [[nodiscard]] const std::vector<JournalRecord>& page(int number) const;
    [[nodiscard]] QString moment_text(const std::string& iso) const;

    Office& office_;
    HistoryFilter filter_;
    HistoryOrder order_;
    LocalDateTime now_;
    std::int64_t count_ = 0;
    HistorySummary summary_;
    std::uint64_t summary_generation_ = 0;
    // Most recently used first.
    mutable std::list<std::pair<int, std::vector<JournalRecord>>> pages_;
};

}  // namespace ordano
