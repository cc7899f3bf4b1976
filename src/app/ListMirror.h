// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>
#include <QTreeWidget>
#include <QTreeWidgetItem>

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

// Keeps `view` showing `rows`, item for row in the same order. Both must outlive the mirror's
// subscription (the rows' owner goes first).
template <typename Row>
void mirror_rows(RowList<Row>& rows, QTreeWidget& view) {
    view.clear();
    ListObserver<Row> observer;
    observer.added = [&view](std::size_t index, const Row& row) {
        auto* item = new QTreeWidgetItem;
        show_row(*item, row);
        view.insertTopLevelItem(static_cast<int>(index), item);
    };
    observer.removed = [&view](std::size_t index, RowId) {
        delete view.takeTopLevelItem(static_cast<int>(index));
    };
    observer.changed = [&view](std::size_t index, const Row& row) {
        if (QTreeWidgetItem* item = view.topLevelItem(static_cast<int>(index))) {
            show_row(*item, row);
        }
    };
    observer.reset = [&view] { view.clear(); };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        observer.added(i, rows.at(i));
    }
    rows.subscribe(std::move(observer));
}

}  // namespace ordano
