// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

class QTreeWidgetItem;

namespace ordano {

struct ReceiveRow;
struct SendRow;

// What a row's letters and icon mean, as tooltips on its cells: the icon's picture on the
// file name; on the send list the status letter (E, K, R); on the receive list each answer's
// state (X, or awaited), after "Respuesta atrasada" on every cell of a late row.
void set_row_tips(QTreeWidgetItem& item, const SendRow& row);
void set_row_tips(QTreeWidgetItem& item, const ReceiveRow& row);

// The meaning of a send-list status letter; empty for an unknown one.
[[nodiscard]] QString send_status_tip(const QString& status);

}  // namespace ordano
