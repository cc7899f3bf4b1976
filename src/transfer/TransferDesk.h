// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string_view>

#include "base/Action.h"
#include "transfer/JournalRecorder.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/ReceptionPoller.h"
#include "transfer/SendList.h"
#include "transfer/SendingRun.h"
#include "transfer/TransferContext.h"

namespace ordano {

class ParametersRecord;

inline constexpr std::string_view kStopPollingQuestion =
    "¿Deseas detener la recepción de archivos en proceso?";
class UiPort;
struct Sesion;

// The transfer side of the main window without the window: the two lists, the polling timer,
// the sending run, the polling tick and the toolbar's transfer actions. The window mirrors the
// lists and the timer through their notifications and calls these routines from its events.
class TransferDesk {
public:
    // `stop`: the office's (Office::stop_token); a requested stop ends the sending run, the
    // tick and the manual reception at once, without messages.
    TransferDesk(Sesion& session, const ParametersRecord& params, Journal& journal, UiPort& ui,
                 const Clock& clock, LocaleFormats locale,
                 SendingRun::BulletinRefresh refresh_bulletin, std::stop_token stop = {});
    TransferDesk(const TransferDesk&) = delete;
    TransferDesk& operator=(const TransferDesk&) = delete;

    [[nodiscard]] SendList& send_list() { return send_; }
    [[nodiscard]] ReceiveList& receive_list() { return receive_; }
    [[nodiscard]] PollingTimer& timer() { return timer_; }
    [[nodiscard]] SendingRun& sending_run() { return sending_; }
    [[nodiscard]] ReceptionPoller& poller() { return poller_; }
    [[nodiscard]] JournalRecorder& journal() { return recorder_; }

    // Start-up: the files a previous run left awaiting answers go back on the receive list
    // (and the polling resumes), and with `send_entries` the files it left to send go back on
    // the send list. A journal row that cannot be put back is named in one message.
    void restore_from_journal(bool send_entries);
    // Marks the receive rows whose answers are overdue; returns how many there are.
    int mark_overdue();

    // The transfer actions of the action routine: Enviar, Recibir, and Detener's closing of the
    // reception session (after stop_polling). Every action, these and all others, ends with
    // Desconecta_FTP on eftpEnvio, unless the sending run is still in progress (an action done
    // while it waits), which closes its own session.
    void Ejecuta_Accion(Action action);
    // The polling timer's tick.
    void tmrPreVal_Timer() { poller_.tmrPreVal_Timer(); }

    // The user's list actions (see ListActions.h), for the window's handlers.
    bool lvwArchivos_DblClick(std::string_view name);
    void add_searched_file(std::string_view name);
    // The removals by hand, once the person has said Yes to their questions (ListActions.h).
    bool cmdPreVal_Click(RowId selected);  // also the Delete key on the send list
    bool cmdPreElm_Click(RowId selected);
    bool cmdLimpia_Click();  // true: the review box is emptied too

    // Detener, once the person has said Yes to kStopPollingQuestion: switches the polling off,
    // cancels a transfer in flight of the tick under way and empties the receive list. Nothing
    // while the timer is off. The reception session is closed by Ejecuta_Accion(Detener).
    void stop_polling();

private:
    SendList send_;
    ReceiveList receive_;
    PollingTimer timer_;
    JournalRecorder recorder_;
    TransferContext context_;
    SendingRun sending_;
    ReceptionPoller poller_;
};

}  // namespace ordano
