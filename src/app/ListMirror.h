// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <functional>
#include <mutex>
#include <vector>

#include "app/ListTips.h"
#include "transfer/RowList.h"
#include "ui/Images.h"

namespace ordano {

// The row id a list view's item stands for; 0 for no item.
[[nodiscard]] inline RowId row_id(const QTreeWidgetItem* item) {
    return item == nullptr ? 0 : item->data(0, Qt::UserRole).toULongLong();
}

// Writes a row into a list view's item: text, every sub-item, the small icon, the row's id and
// the tooltips that explain its letters and icon.
template <typename Row>
void show_row(QTreeWidgetItem& item, const Row& row) {
    for (int n = 0; n <= Row::kSubItems; ++n) {
        item.setText(n, QString::fromStdString(row.sub_item(n)));
    }
    item.setIcon(0, images::row_image(row.small_icon));
    item.setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(row.id));
    set_row_tips(item, row);
}

// Keeps `view` showing a core list, item for row in the same order, and keeps the window's own
// copy of the rows, which window code reads instead of the core's list. The core changes its
// lists on whichever thread holds the engine's turn; each change is noted here in order and
// shown on the view's thread: at once when made there, else as soon as that thread comes to it
// (after every change noted before it, so the view never skips or reorders one).
template <typename Row>
class ListMirror {
public:
    // Called on the view's thread after a row was shown changed (index in the view).
    using ChangedHook = std::function<void(std::size_t index, const Row& row)>;
    // Makes a changed row (`after`) into what the window shows, from what it showed (`before`).
    using ShownHook = std::function<void(const Row& before, Row& after)>;

    // `rows` must not change meanwhile (the engine idle, or the turn held); the mirror must
    // live as long as anything can change `rows`.
    ListMirror(RowList<Row>& rows, QTreeWidget& view) : view_(view) {
        view_.clear();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            apply({Change::Added, i, rows.at(i)});
        }
        ListObserver<Row> observer;
        observer.added = [this](std::size_t index, const Row& row) {
            note({Change::Added, index, row});
        };
        observer.removed = [this](std::size_t index, RowId) { note({Change::Removed, index, {}}); };
        observer.changed = [this](std::size_t index, const Row& row) {
            note({Change::Changed, index, row});
        };
        observer.reset = [this] { note({Change::Reset, 0, {}}); };
        rows.subscribe(std::move(observer));
    }
    ListMirror(const ListMirror&) = delete;
    ListMirror& operator=(const ListMirror&) = delete;

    void on_changed(ChangedHook hook) { changed_hook_ = std::move(hook); }
    void shown_as(ShownHook hook) { shown_hook_ = std::move(hook); }
    // Told on the view's thread of each change once the view shows it (the index the view's).
    void observe(ListObserver<Row> observer) { observers_.push_back(std::move(observer)); }

    // The rows as the view shows them.
    [[nodiscard]] const std::vector<Row>& rows() const { return rows_; }
    [[nodiscard]] const Row* find(RowId id) const {
        for (const Row& row : rows_) {
            if (row.id == id) {
                return &row;
            }
        }
        return nullptr;
    }
    [[nodiscard]] std::optional<std::size_t> index_of(RowId id) const {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].id == id) {
                return i;
            }
        }
        return std::nullopt;
    }

private:
    struct Change {
        enum Kind { Added, Removed, Changed, Reset } kind;
        std::size_t index;
        Row row;
    };

    void note(Change change) {
        bool post = false;
        {
            const std::lock_guard lock(mutex_);
            noted_.push_back(std::move(change));
            post = !posted_ && QThread::currentThread() != context_.thread();
            posted_ = posted_ || post;
        }
        if (post) {
            QMetaObject::invokeMethod(
                &context_, [this] { show_noted(); }, Qt::QueuedConnection);
        } else if (QThread::currentThread() == context_.thread()) {
            show_noted();
        }
    }

    void show_noted() {
        std::vector<Change> changes;
        {
            const std::lock_guard lock(mutex_);
            changes.swap(noted_);
            posted_ = false;
        }
        for (const Change& change : changes) {
            apply(change);
        }
    }

    void apply(const Change& change) {
        const auto at = static_cast<int>(change.index);
        switch (change.kind) {
            case Change::Added: {
                auto* item = new QTreeWidgetItem;
                show_row(*item, change.row);
                view_.insertTopLevelItem(at, item);
                rows_.insert(rows_.begin() + at, change.row);
                tell(&ListObserver<Row>::added, change.index, change.row);
                break;
            }
            case Change::Removed: {
                delete view_.takeTopLevelItem(at);
                const RowId id = rows_[change.index].id;
                rows_.erase(rows_.begin() + at);
                tell(&ListObserver<Row>::removed, change.index, id);
                break;
            }
            case Change::Changed:
                if (QTreeWidgetItem* item = view_.topLevelItem(at)) {
                    Row shown = change.row;
                    if (shown_hook_) {
                        shown_hook_(rows_[change.index], shown);
                    }
                    show_row(*item, shown);
                    rows_[change.index] = shown;
                    if (changed_hook_) {
                        changed_hook_(change.index, shown);
                    }
                    tell(&ListObserver<Row>::changed, change.index, shown);
                }
                break;
            case Change::Reset:
                view_.clear();
                rows_.clear();
                tell(&ListObserver<Row>::reset);
                break;
        }
    }

    template <typename Hook, typename... Args>
    void tell(Hook hook, const Args&... args) const {
        for (const ListObserver<Row>& observer : observers_) {
            if (observer.*hook) {
                (observer.*hook)(args...);
            }
        }
    }

    QTreeWidget& view_;
    QObject context_;  // lives on the view's thread; what is posted to it dies with the mirror
    std::mutex mutex_;
    std::vector<Change> noted_;
    bool posted_ = false;
    std::vector<Row> rows_;  // on the view's thread only
    ChangedHook changed_hook_;
    ShownHook shown_hook_;
    std::vector<ListObserver<Row>> observers_;
};

}  // namespace ordano
