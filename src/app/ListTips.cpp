// SPDX-License-Identifier: Apache-2.0
#include "app/ListTips.h"

#include <QTreeWidgetItem>

#include "app/ListColumns.h"
#include "transfer/ReceiveList.h"
#include "transfer/SendList.h"
#include "ui/Images.h"

namespace ordano {

namespace {

QString name_tip(const std::string& name, int image) {
    const QString meaning = images::row_image_meaning(image);
    const QString shown = QString::fromStdString(name);
    return meaning.isEmpty() ? shown : QStringLiteral("%1: %2").arg(meaning, shown);
}

QString answer_tip(const char* answer, const std::string& state, bool expected) {
    const QString which = QString::fromUtf8(answer);
    if (!expected) {
        return QStringLiteral("—: este archivo no tiene respuesta de %1").arg(which);
    }
    return state.empty() ? QStringLiteral("En espera de la respuesta de %1").arg(which)
                         : QStringLiteral("X: respuesta de %1 recibida").arg(which);
}

}  // namespace

QString send_status_tip(const QString& status) {
    if (status == QLatin1String(send_status::kPending)) {
        return QStringLiteral("E: archivo por enviar");
    }
    if (status == QLatin1String(send_status::kPrevalidation)) {
        return QStringLiteral(
            "K: respuesta de prevalidación recibida; un clic o Intro muestra su reporte");
    }
    if (status == QLatin1String(send_status::kValidation)) {
        return QStringLiteral(
            "R: respuesta de validación recibida; un clic o Intro muestra su reporte");
    }
    return {};
}

void set_row_tips(QTreeWidgetItem& item, const SendRow& row) {
    item.setToolTip(send_list::kName, name_tip(row.text, row.small_icon));
    item.setToolTip(send_list::kStatus, send_status_tip(QString::fromStdString(row.status)));
}

void set_row_tips(QTreeWidgetItem& item, const ReceiveRow& row) {
    // A row awaited for too long says so first on every cell.
    const QString late = row.overdue ? QStringLiteral("Respuesta atrasada") : QString();
    const auto with_late = [&late](const QString& tip) {
        return late.isEmpty() ? tip : late + QLatin1Char('\n') + tip;
    };
    item.setToolTip(receive_list::kName, with_late(name_tip(row.text, row.small_icon)));
    // "X" is an answer received; an answer not expected reads apart from it.
    if (row.archivo_prev.empty()) {
        item.setText(receive_list::kPrevalidation, QStringLiteral("—"));
    }
    item.setToolTip(
        receive_list::kPrevalidation,
        with_late(answer_tip("prevalidación", row.prev_state, !row.archivo_prev.empty())));
    item.setToolTip(receive_list::kValidation,
                    with_late(answer_tip("validación", row.val_state, true)));
    const QString when = row.handed_over
                             ? QStringLiteral("Recepción manual: no se envió desde esta oficina")
                             : QStringLiteral("Hora del envío");
    item.setToolTip(receive_list::kSentAt, with_late(when));
}

}  // namespace ordano
