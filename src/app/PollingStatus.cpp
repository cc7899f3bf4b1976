// SPDX-License-Identifier: Apache-2.0
#include "app/PollingStatus.h"

#include <QLabel>
#include <QStatusBar>

#include "ui/FittingLabel.h"

namespace ordano {

PollingStatus::PollingStatus(QStatusBar& bar, const QTimer& polling_timer,
                             const ListMirror<ReceiveRow>& rows, QTreeWidget& receive_view)
    : QObject(&bar), polling_timer_(polling_timer), rows_(rows), receive_view_(receive_view) {
    label_ = new FittingLabel(&bar);
    label_->setObjectName(QStringLiteral("stbPrincipal.Recepcion"));
    label_->hide();
    bar.addWidget(label_);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &PollingStatus::refresh);
}

void PollingStatus::follow(const EngineState& state) {
    polling_ = state.polling;
    looking_ = state.runs(Job::Tick);
    if (!polling_) {
        outage_ = false;
    }
    refresh();
}

void PollingStatus::set_outage(bool outage) {
    if (outage_ && !outage) {
        reconnected_until_ = std::chrono::steady_clock::now() + kReconnectedShown;
    }
    outage_ = outage;
    refresh();
}

int PollingStatus::seconds_to_next_look() const {
    const int ms = polling_timer_.remainingTime();
    return ms < 0 ? 0 : (ms + 999) / 1000;
}

int PollingStatus::awaited_answers() const {
    int count = 0;
    for (const ReceiveRow& row : rows_.rows()) {
        count += (row.awaits_prevalidation() ? 1 : 0) + (row.awaits_validation() ? 1 : 0);
    }
    return count;
}

QString PollingStatus::text() const {
    if (!polling_) {
        return {};
    }
    const QString next = QString::number(seconds_to_next_look());
    if (outage_) {
        return QStringLiteral("sin conexión — reintento en %1 s").arg(next);
    }
    if (std::chrono::steady_clock::now() < reconnected_until_) {
        return QStringLiteral("reconectado");
    }
    if (looking_) {
        return QStringLiteral("revisando el servidor…");
    }
    const int awaited = awaited_answers();
    return (awaited == 1 ? QStringLiteral("esperando 1 respuesta")
                         : QStringLiteral("esperando %1 respuestas").arg(awaited)) +
           QStringLiteral(" — próxima revisión en %1 s").arg(next);
}

void PollingStatus::refresh() {
    const QString shown = text();
    label_->setText(shown);
    label_->setVisible(!shown.isEmpty());
    if (shown.isEmpty()) {
        clock_.stop();
    } else if (!clock_.isActive()) {
        clock_.start();
    }
    mark_rows();
}

// While the server cannot be reached each awaiting row says so; afterwards its own tips return.
void PollingStatus::mark_rows() {
    const bool mark = polling_ && outage_;
    if (!mark && !rows_marked_) {
        return;
    }
    const QString tip = label_->text();
    for (int i = 0;
         i < receive_view_.topLevelItemCount() && static_cast<std::size_t>(i) < rows_.rows().size();
         ++i) {
        QTreeWidgetItem& item = *receive_view_.topLevelItem(i);
        QFont font = item.font(0);
        font.setItalic(mark);
        for (int column = 0; column < item.columnCount(); ++column) {
            item.setFont(column, font);
        }
        if (mark) {
            for (int column = 0; column < item.columnCount(); ++column) {
                item.setToolTip(column, tip);
            }
        } else {
            set_row_tips(item, rows_.rows()[static_cast<std::size_t>(i)]);
        }
    }
    rows_marked_ = mark;
}

}  // namespace ordano
