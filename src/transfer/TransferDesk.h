// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stop_token>
#include <string_view>

#include "transfer/JournalRecorder.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/ReceptionIntake.h"
#include "transfer/ReceptionPoller.h"
#include "transfer/SendList.h"
#include "transfer/SendingRun.h"

namespace ordano {

class ParametersRecord;

inline constexpr std::string_view kStopPollingQuestion =
    "¿Deseas detener la recepción de archivos en proceso?";
class UiPort;
struct Sesion;

// The transfer side of the main window without the window: the two lists, the polling timer,
// the sending run, the polling tick and the toolbar's transfer actions. The window mirrors the
// lists and the timer through their notifications and calls these routines from its events.
//
// A file's trip: the person puts it on the send list; the sending run uploads it, telling the
// journal, and hands it to reception (ReceptionIntake), which puts it on the receive list and
// switches the polling on; each polling tick (ReceptionPoller) fetches its answers, stores them
// in the receive folders, tells the journal and lists them in the send list.
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

    // From now on every routine below, and every change of the two lists, is checked to come
    // from the holder of `keeper`'s turn (the engine's).
    void keep_by(const TurnKeeper* keeper);

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
    void polling_tick();

    // The user's list actions (see ListActions.h), for the window's handlers.
    bool add_file_to_send(std::string_view name);
    void add_searched_file(std::string_view name);
    // The removals by hand, once the person has said Yes to their questions (ListActions.h).
    bool remove_from_send(RowId selected);  // also the Delete key on the send list
    bool remove_from_receive(RowId selected);
    bool clear_send_list();  // true: the review box is emptied too

    // Detener, once the person has said Yes to kStopPollingQuestion: switches the polling off,
    // cancels a transfer in flight of the tick under way and empties the receive list. Nothing
    // while the timer is off. The reception session is closed by close_polling_session.
    void stop_polling();
    // Detener's part on the network, after stop_polling: a tick under way cancelled and the
    // reception session (eftpRecepcion) closed.
    void close_polling_session();

private:
    Sesion& session_;
    const ParametersRecord& params_;
    UiPort& ui_;
    const Clock& clock_;
    LocaleFormats locale_;
    std::stop_token stop_;
    const TurnKeeper* keeper_ = nullptr;
    SendList send_;
    ReceiveList receive_;
    PollingTimer timer_;
    JournalRecorder recorder_;
    ReceptionIntake intake_;
    SendingRun sending_;
    ReceptionPoller poller_;
};

}  // namespace ordano
