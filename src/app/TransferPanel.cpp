// SPDX-License-Identifier: Apache-2.0
#include "app/TransferPanel.h"

#include <QAction>
#include <QKeyEvent>
#include <QTimer>
#include <QToolBar>

#include "app/ListMirror.h"
#include "app/MainWindowUi.h"
#include "dialogs/PaymentPasswordDialog.h"
#include "store/Office.h"
#include "ui/ActionButton.h"

namespace ordano {

namespace {

QTreeWidgetItem* selected_item(const QTreeWidget& list) {
    const QList<QTreeWidgetItem*> items = list.selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

bool is_delete_released(const QEvent* event) {
    if (event->type() != QEvent::KeyRelease) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Delete && !key->isAutoRepeat();
}

}  // namespace

TransferPanel::TransferPanel(Office& office, UiPort& ui, const MainWindowUi& controls,
                             QWidget& window, QLocale locale, BulletinRefresh refresh_bulletin)
    : ui_(ui),
      controls_(controls),
      desk_(office.session(), office.params(), office.journal(), ui, office.clock(),
            office.locale(), std::move(refresh_bulletin), office.stop_token()),
      frmPassword_(new PaymentPasswordDialog(office.session(), ui, &window)),
      progress_(*controls.stbPrincipal, std::move(locale)) {
    mirror_rows(desk_.send_list(), *controls_.lvwPreVal[0]);
    mirror_rows(desk_.receive_list(), *controls_.lvwPreVal[1]);
    mirror_timer();
    connect_controls();
    // Only a port that shows windows takes them; other ports answer for themselves.
    ui_.set_payment_password_prompt([this] { return frmPassword_->ask(); });
    ui_.set_progress_display([this](const Progress& report) { progress_.show(report); });
}

TransferPanel::~TransferPanel() {
    ui_.set_payment_password_prompt(nullptr);
    ui_.set_progress_display(nullptr);
}

void TransferPanel::mirror_timer() {
    QTimer* timer = controls_.tmrPreVal;
    timer->setInterval(desk_.timer().interval());
    // "Detener" stops the polling: it can be pressed only while the polling is on.
    QAction* detener = nullptr;
    for (QAction* action : controls_.tlbPreVal->actions()) {
        if (button_action(*action) == Action::Detener) {
            detener = action;
        }
    }
    if (detener != nullptr) {
        detener->setEnabled(desk_.timer().enabled());
    }
    desk_.timer().subscribe([timer, detener](bool enabled, int interval_ms) {
        if (detener != nullptr) {
            detener->setEnabled(enabled);
        }
        // A new interval on a running timer restarts it with that interval.
        if (timer->interval() != interval_ms) {
            timer->setInterval(interval_ms);
        }
        if (enabled && !timer->isActive()) {
            timer->start();
        } else if (!enabled && timer->isActive()) {
            timer->stop();
        }
    });
}

void TransferPanel::connect_controls() {
    connect(controls_.tmrPreVal, &QTimer::timeout, this, &TransferPanel::tmrPreVal_Timer);
    // A double-click, or Enter on the chosen row.
    connect(controls_.lvwArchivos, &QTreeWidget::itemActivated, this,
            &TransferPanel::lvwArchivos_DblClick);
    connect(controls_.cmdPreVal, &QPushButton::clicked, this, &TransferPanel::cmdPreVal_Click);
    connect(controls_.cmdPreElm, &QPushButton::clicked, this, &TransferPanel::cmdPreElm_Click);
    connect(controls_.cmdLimpia, &QPushButton::clicked, this, &TransferPanel::cmdLimpia_Click);
    // The Delete key removes from the send list only.
    controls_.lvwPreVal[0]->installEventFilter(this);
}

bool TransferPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.lvwPreVal[0] && is_delete_released(event)) {
        cmdPreVal_Click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TransferPanel::Ejecuta_Accion(Action action) {
    if (action == Action::Enviar) {
        enviar();
    } else {
        desk_.Ejecuta_Accion(action);
    }
    show_current_row();
}

void TransferPanel::enviar() {
    if (desk_.sending_run().running()) {
        desk_.Ejecuta_Accion(Action::Enviar);  // ignored by the run in progress
        return;
    }
    // Enabled again however the run ends.
    struct RunActionsOff {
        TransferPanel& panel;
        explicit RunActionsOff(TransferPanel& p) : panel(p) {
            panel.set_run_actions_enabled(false);
        }
        ~RunActionsOff() {
            panel.set_run_actions_enabled(true);
            panel.progress_.clear();
        }
        RunActionsOff(const RunActionsOff&) = delete;
        RunActionsOff& operator=(const RunActionsOff&) = delete;
    } const off(*this);
    desk_.Ejecuta_Accion(Action::Enviar);
}

void TransferPanel::set_run_actions_enabled(bool enabled) {
    // While the run waits on the network the window keeps taking clicks; the run must not be
    // started twice, and the pending entries are the run's.
    for (QAction* action : controls_.tlbPreVal->actions()) {
        const Action run_action = button_action(*action);
        if (run_action == Action::Enviar || run_action == Action::Recibir) {
            action->setEnabled(enabled);
        }
    }
}

void TransferPanel::tmrPreVal_Timer() {
    if (desk_.poller().tick_in_progress()) {
        return;  // the tick under way let this one through while it waited
    }
    desk_.tmrPreVal_Timer();
    show_current_row();
    if (!desk_.sending_run().running()) {
        progress_.clear();
    }
}

void TransferPanel::lvwArchivos_DblClick(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    desk_.lvwArchivos_DblClick(item->text(0).toStdString());
    show_current_row();
}

void TransferPanel::cmdPreVal_Click() {
    desk_.cmdPreVal_Click(row_id(selected_item(*controls_.lvwPreVal[0])));
}

void TransferPanel::cmdPreElm_Click() {
    desk_.cmdPreElm_Click(row_id(selected_item(*controls_.lvwPreVal[1])));
}

void TransferPanel::cmdLimpia_Click() {
    if (desk_.cmdLimpia_Click()) {
        controls_.rtbPreVal->clear();
    }
}

void TransferPanel::show_current_row() {
    const auto id = desk_.send_list().current_row();
    const auto index = id ? desk_.send_list().index_of(*id) : std::nullopt;
    if (!index) {
        return;
    }
    // In view, without moving the selection the list buttons act on.
    controls_.lvwPreVal[0]->scrollToItem(
        controls_.lvwPreVal[0]->topLevelItem(static_cast<int>(*index)));
}

}  // namespace ordano
