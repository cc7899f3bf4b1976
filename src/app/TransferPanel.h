// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "app/TransferProgress.h"
#include "transfer/TransferDesk.h"

class QAction;
class QTreeWidgetItem;

namespace ordano {

class Office;
class PaymentPasswordDialog;
class UiPort;
struct MainWindowUi;

// The main window's transfer side: owns the transfer desk and ties it to the window's
// controls. The two lists lvwPreVal(0)/(1) mirror the desk's lists, the timer tmrPreVal
// follows the polling timer and calls the polling tick, the list buttons, the Delete key on
// the send list and the double-click on lvwArchivos call the desk's handlers, and transfers
// show their progress in the status bar. "Enviar/Recibir" and "Recibir" are disabled while a
// sending run is in progress. Lends the payment-password prompt frmPassword and the progress
// display to the UI port for its life.
class TransferPanel : public QObject {
    Q_OBJECT
public:
    using BulletinRefresh = std::function<void()>;

    // `window` parents frmPassword; `controls` are the window's, and outlive the panel.
    TransferPanel(Office& office, UiPort& ui, const MainWindowUi& controls, QWidget& window,
                  QLocale locale, BulletinRefresh refresh_bulletin);
    ~TransferPanel() override;
    TransferPanel(const TransferPanel&) = delete;
    TransferPanel& operator=(const TransferPanel&) = delete;

    // The transfer side of the action routine: runs Enviar, Recibir and Detener, and for
    // every action closes the sending session at the end.
    void Ejecuta_Accion(Action action);

    [[nodiscard]] TransferDesk& desk() { return desk_; }
    [[nodiscard]] PaymentPasswordDialog& password_dialog() { return *frmPassword_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connect_controls();
    void mirror_timer();
    void set_run_actions_enabled(bool enabled);
    void enviar();
    void tmrPreVal_Timer();
    void lvwArchivos_DblClick(QTreeWidgetItem* item);
    void cmdPreVal_Click();
    void cmdPreElm_Click();
    void cmdLimpia_Click();
    // Brings the window's current row (the last one added) into view.
    void show_current_row();

    UiPort& ui_;
    const MainWindowUi& controls_;
    TransferDesk desk_;
    PaymentPasswordDialog* frmPassword_ = nullptr;
    TransferProgress progress_;
};

}  // namespace ordano
