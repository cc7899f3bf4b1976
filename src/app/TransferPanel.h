// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "app/ListMirror.h"
#include "app/PollingStatus.h"
#include "app/TransferProgress.h"
#include "engine/Gate.h"
#include "transfer/ReceiveList.h"
#include "transfer/SendList.h"
#include "transfer/TransferDesk.h"

class QAction;
class QTreeWidgetItem;

namespace ordano {

class Engine;
class FrontEnd;
class Office;
class PaymentPasswordDialog;
struct MainWindowUi;

// The main window's transfer side over the engine: the two lists lvwPreVal(0)/(1) mirror the
// desk's lists, the timer tmrPreVal follows the polling and asks for its ticks, the list
// buttons, the Delete key on the send list and the double-click on lvwArchivos ask their
// questions and then the engine, and transfers show their progress in the status bar. The
// toolbar's buttons are enabled as the engine's gate says. Lends the payment-password prompt
// frmPassword and the progress display to the front end for its life.
class TransferPanel : public QObject {
    Q_OBJECT
public:
    // `window` parents frmPassword; `controls` are the window's, and outlive the panel.
    TransferPanel(Engine& engine, Office& office, FrontEnd& ui, const MainWindowUi& controls,
                  QWidget& window, QLocale locale);
    ~TransferPanel() override;
    TransferPanel(const TransferPanel&) = delete;
    TransferPanel& operator=(const TransferPanel&) = delete;

    // Detener's question: `stop` once it is answered Yes; nothing is asked while the polling
    // is off.
    void confirm_stop(std::function<void()> stop);

    // What is moving now, said for Salir's question ("Hay un envío en curso (Enviando …)");
    // empty when nothing is.
    [[nodiscard]] std::string under_way() const;

    // The core's transfer desk, for work done with the engine's turn.
    [[nodiscard]] TransferDesk& desk();
    [[nodiscard]] PaymentPasswordDialog& password_dialog() { return *frmPassword_; }
    // The lists as the window shows them.
    [[nodiscard]] const ListMirror<SendRow>& send_rows() const { return *send_mirror_; }
    [[nodiscard]] ListMirror<SendRow>& send_rows() { return *send_mirror_; }
    [[nodiscard]] ListMirror<ReceiveRow>& receive_rows() { return *receive_mirror_; }
    // The polling's line in the status bar.
    [[nodiscard]] PollingStatus& polling_status() { return *polling_status_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connect_controls();
    void follow_engine(const EngineState& state);
    void ask_then(const std::string& question, std::function<void()> then);
    void tmrPreVal_Timer();
    void lvwArchivos_DblClick(QTreeWidgetItem* item);
    void cmdPreVal_Click();
    void cmdPreElm_Click();
    void cmdLimpia_Click();
    // Brings the window's current row (the last one added) into view.
    void show_current_row();

    Engine& engine_;
    FrontEnd& ui_;
    const MainWindowUi& controls_;
    std::unique_ptr<ListMirror<SendRow>> send_mirror_;
    std::unique_ptr<ListMirror<ReceiveRow>> receive_mirror_;
    PaymentPasswordDialog* frmPassword_ = nullptr;
    TransferProgress progress_;
    PollingStatus* polling_status_ = nullptr;
    EngineState shown_;  // the engine's state as the window follows it
};

}  // namespace ordano
