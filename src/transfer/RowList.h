// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/RuleCheck.h"

namespace ordano {

// Identity of a row for as long as it lives; never reused, so a removed row cannot be mistaken
// for a later one.
using RowId = std::uint64_t;

// What a view of the list listens to. Callbacks must not change the list they observe.
template <typename Row>
struct ListObserver {
    std::function<void(std::size_t index, const Row& row)> added;
    std::function<void(std::size_t index, RowId id)> removed;
    std::function<void(std::size_t index, const Row& row)> changed;
    std::function<void()> reset;  // every row is gone
};

// Rows in display order, each with a stable id. Code that let window events through finds its
// row again by id (or learns that it is gone) instead of trusting a position. Row has a member
// `RowId id`, assigned by append().
template <typename Row>
class RowList {
public:
    RowList() = default;
    RowList(const RowList&) = delete;
    RowList& operator=(const RowList&) = delete;

    void subscribe(ListObserver<Row> observer) { observers_.push_back(std::move(observer)); }
    // From now on every change is checked to come from the holder of `keeper`'s turn.
    void keep_by(const TurnKeeper* keeper) { keeper_ = keeper; }

    [[nodiscard]] std::size_t size() const { return rows_.size(); }
    [[nodiscard]] bool empty() const { return rows_.empty(); }
    [[nodiscard]] const std::vector<Row>& rows() const { return rows_; }
    // Throws std::out_of_range past the end.
    [[nodiscard]] const Row& at(std::size_t index) const { return rows_.at(index); }

    [[nodiscard]] std::optional<std::size_t> index_of(RowId id) const {
        const auto it =
            std::find_if(rows_.begin(), rows_.end(), [id](const Row& row) { return row.id == id; });
        if (it == rows_.end()) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(it - rows_.begin());
    }
    // nullptr when the row is gone. The pointer is valid until the list next changes.
    [[nodiscard]] const Row* find(RowId id) const {
        const auto index = index_of(id);
        return index ? &rows_[*index] : nullptr;
    }
    [[nodiscard]] std::vector<RowId> ids() const {
        std::vector<RowId> out;
        out.reserve(rows_.size());
        for (const auto& row : rows_) {
            out.push_back(row.id);
        }
        return out;
    }

    RowId append(Row row) {
        check_turn(keeper_, "Una fila añadida a una lista");
        row.id = next_id_++;
        rows_.push_back(std::move(row));
        notify_added(rows_.size() - 1);
        return rows_.back().id;
    }

    // false when the row was already gone.
    bool remove(RowId id) {
        check_turn(keeper_, "Una fila quitada de una lista");
        const auto index = index_of(id);
        if (!index) {
            return false;
        }
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*index));
        for (const auto& o : observers_) {
            if (o.removed) {
                o.removed(*index, id);
            }
        }
        return true;
    }

    void clear() {
        check_turn(keeper_, "Una lista vaciada");
        rows_.clear();
        for (const auto& o : observers_) {
            if (o.reset) {
                o.reset();
            }
        }
    }

    // Applies edit(Row&) to a living row; false when the row is gone. The id cannot change.
    template <typename Edit>
    bool update(RowId id, Edit&& edit) {
        check_turn(keeper_, "Una fila cambiada");
        const auto index = index_of(id);
        if (!index) {
            return false;
        }
        Row& row = rows_[*index];
        edit(row);
        row.id = id;
        for (const auto& o : observers_) {
            if (o.changed) {
                o.changed(*index, row);
            }
        }
        return true;
    }

private:
    void notify_added(std::size_t index) const {
        for (const auto& o : observers_) {
            if (o.added) {
                o.added(index, rows_[index]);
            }
        }
    }

    std::vector<Row> rows_;
    RowId next_id_ = 1;
    std::vector<ListObserver<Row>> observers_;
    const TurnKeeper* keeper_ = nullptr;
};

}  // namespace ordano
