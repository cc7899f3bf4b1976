// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string_view>

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

    // Enviar: the sending run (ignored while one is under way), then close_sending_session.
    void send();
    // Recibir: the manual reception (nothing while a sending run waits, as it owns the pending
    // entries), then close_sending_session.
    void receive();
    // Closes the sending session (eftpEnvio), unless a sending run is under way (an action
    // done while it waits): the run closes its own when it ends. Every toolbar action of the
    // main window ends with this.
    void close_sending_session();
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
    // while the timer is off. The reception session is closed by close_polling_session.
    void stop_polling();
    // Detener's part on the network, after stop_polling: a tick under way cancelled and the
    // reception session (eftpRecepcion) closed.
    void close_polling_session();

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
