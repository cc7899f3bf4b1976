// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "base/Errors.h"
#include "transfer/FtpSession.h"
#include "transfer/Routing.h"
#include "transfer/RowList.h"
#include "transfer/SendList.h"
#include "transfer/TransferLanes.h"

namespace ordano {

class ParametersRecord;
class ReceptionIntake;
class SendingJournal;
class UiPort;
struct Sesion;

// "Enviar/Recibir": uploads today's pending files of the send list into the server's input
// folder of their kind and moves them to the receive list with their expected answers, then
// switches the polling on. Uses its own session eftpEnvio, which nothing else uses, and for
// files sent side by side extra sessions of its own (eftpEnvio#2, ...).
//
// Progress ("n of m", bytes of the current upload) goes to UiPort::progress; the byte counts
// come from inside the transfer, on whatever thread UiPort::run_blocking runs it.
class SendingRun {
public:
    // Refreshes the bulletin (fetch_bulletin, not asked by a person) at the start of each run.
    using BulletinRefresh = std::function<void()>;

    // Takes today's files from `send`, tells `journal` of each upload and hands each file sent
    // to `reception`. `session` gets the payment flag and password of the run; `stop`: see
    // RunStop.h.
    SendingRun(Sesion& session, const ParametersRecord& params, UiPort& ui, SendList& send,
               SendingJournal& journal, ReceptionIntake& reception,
               BulletinRefresh refresh_bulletin, std::stop_token stop);

    // Ejecuta_Accion "enviar". Ignored while a run is in progress (a click let through while
    // the run waits on the network).
    void run();
    [[nodiscard]] bool running() const { return running_; }
    // The failure that ended the last run early (no connection, login refused, ...); nullopt
    // when it ran to its end.
    [[nodiscard]] const std::optional<NumberedError>& ended_by() const { return ended_by_; }
    [[nodiscard]] FtpSession& session() { return ftp_; }

    [[nodiscard]] static std::string payment_file_name(int patente);

private:
    void run_steps();
    void fetch_payment_file();
    [[nodiscard]] bool decide_password();
    // A file of the run: its entry and route as they were when its upload was prepared, and
    // the way it went up (set on the lane's thread, read once the lane has ended it).
    struct Upload {
        RowId id = 0;
        SendRow entry;
        Route route;
        std::shared_ptr<UploadWay> way = std::make_shared<UploadWay>(UploadWay::Renamed);
    };

    [[nodiscard]] bool due_today(const SendRow& row) const;
    void send_due_entries();
    [[nodiscard]] std::optional<TransferLanes::Work> prepare_upload(Upload& upload, int item,
                                                                    int items);
    void remove_leftovers();
    void upload_ended(const Upload& upload, const std::exception_ptr& failure);
    [[nodiscard]] TransferLanes::Next finish_upload(const Upload& upload,
                                                    std::exception_ptr failure,
                                                    std::exception_ptr& ends_run);
    void stopped(const Upload& upload);
    [[nodiscard]] static bool asked_as_local_file(int number);
    void clear_working_files(const std::string& name, const Route& route);
    void move_to_receive(RowId id, const SendRow& entry, const Route& route);
    void end_with(const NumberedError& error);
    void end_stopped();

    Sesion& session_;
    const ParametersRecord& params_;
    UiPort& ui_;
    SendList& send_;
    SendingJournal& journal_;
    ReceptionIntake& reception_;
    BulletinRefresh refresh_bulletin_;
    std::stop_token stop_;
    FtpSession ftp_{"eftpEnvio"};
    LaneSessions lanes_;
    bool running_ = false;
    std::atomic<bool> refusal_heard_{false};  // a server refused to rename, not said yet
    std::optional<NumberedError> ended_by_;
};

}  // namespace ordano
