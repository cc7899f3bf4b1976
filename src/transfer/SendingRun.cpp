// SPDX-License-Identifier: Apache-2.0
#include "transfer/SendingRun.h"

#include <cstdio>
#include <vector>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/FlagScope.h"
#include "base/RunStop.h"
#include "base/Scramble.h"
#include "office/Session.h"
#include "base/UiPort.h"
#include "office/WorkingFiles.h"
#include "transfer/FtpRoutines.h"
#include "transfer/JournalRecorder.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"
#include "transfer/TransferErrors.h"
#include "transfer/TransferFiles.h"

namespace ordano {
namespace {

constexpr std::string_view kPaymentFolder = "/update";
// What the journal keeps of an upload that a stop cut short (the server's part is removed).
constexpr const char* kStoppedUpload =
    "El envío se detuvo porque el programa termina; el archivo no se dio por enviado.";
// A session's progress goes to nobody once its transfer is over.
struct ProgressOff {
    FtpSession& session;
    ~ProgressOff() { session.set_progress(nullptr); }
};

// The number the office's staff know for a value that cannot be read ("invalid argument").
constexpr int kUnreadableValue = 5;

}  // namespace

SendingRun::SendingRun(TransferContext context, BulletinRefresh refresh_bulletin)
    : ctx_(context), refresh_bulletin_(std::move(refresh_bulletin)), lanes_(eftpEnvio_, ctx_.stop) {
    eftpEnvio_.stop_with(ctx_.stop);
}

std::string SendingRun::payment_file_name(int patente) {
    char name[32];
    std::snprintf(name, sizeof name, "cfps%04d.rgs", patente);
    return name;
}

void SendingRun::run() {
    if (running_) {
        return;
    }
    FlagScope running(running_);
    ended_by_.reset();
    if (ctx_.send.empty()) {
        ctx_.ui.message("Debes incluir al menos un archivo en la lista de envío!!!",
                        MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    try {
        run_steps();
    } catch (const NumberedError& error) {
        end_with(error);
    } catch (const RunStopped&) {
        end_stopped();
    }
}

void SendingRun::run_steps() {
    remove_stale_working_files(ctx_.session.paths);
    if (refresh_bulletin_) {
        refresh_bulletin_();
    }
    ctx_.ui.yield();
    Conecta_FTP(eftpEnvio_, false, ctx_.session, ctx_.params, ctx_.ui);
    fetch_payment_file();
    stop_point(ctx_.stop);
    if (decide_password()) {
        send_due_entries();
        ctx_.send.compact();
    }
    Desconecta_FTP(eftpEnvio_, ctx_.ui);
    ctx_.timer.set_enabled(true);
}

void SendingRun::fetch_payment_file() {
    Sesion& session = ctx_.session;
    const std::string name = payment_file_name(session.patente);
    const auto local = session.paths.drive_root / name;
    try {
        Baja_Archivo(eftpEnvio_, ctx_.ui, session.paths.drive_root, kPaymentFolder, name);
    } catch (const FtpError& error) {
        // No payment file on the server: nothing was written, the flag becomes "N" below.
        if (error.number() != ftp_error::kNotTransferred) {
            throw;
        }
    }
    const auto line = read_first_line_bytes(local);
    if (!line) {
        session.bandera_pago = 'N';
        return;
    }
    delete_file(local);
    ctx_.ui.yield();
    session.bandera_pago = line->empty() ? '\0' : line->front();
    try {
        session.pass_ban = Decodifica(text::cp1252_to_utf8(line->empty() ? "" : line->substr(1)));
    } catch (const FormatError& error) {
        throw NumberedError(
            kUnreadableValue,
            "El archivo " + name + " del servidor no se puede leer: " + error.what());
    }
}

bool SendingRun::decide_password() {
    Sesion& session = ctx_.session;
    if (session.bandera_pago == 'S') {
        session.pass_aceptada = false;
        session.pass_aceptada = ctx_.ui.ask_payment_password();
    } else {
        session.pass_aceptada = true;
        if (ctx_.send.has_pending_payment()) {
            session.pass_aceptada = false;
            session.bandera_pago = 'S';
            session.pass_aceptada = ctx_.ui.ask_payment_password();
        }
    }
    return (session.bandera_pago == 'S' && session.pass_aceptada) || session.bandera_pago == 'N';
}

bool SendingRun::due_today(const SendRow& row) const {
    // A name whose last three characters are not a number is not today's file.
    return row.pending() && !row.text.empty() &&
           julian_day_of(row.text) == ctx_.session.dia_juliano &&
           route_for(row.text, ctx_.session).has_value();
}

// Several files go up at once on extra sessions (eftpEnvio#2, ...) as the office's setting
// allows; each is moved to the receive list, and the journal told, in the order of the list.
void SendingRun::send_due_entries() {
    std::vector<Upload> due;
    for (const auto& row : ctx_.send.rows()) {
        if (due_today(row)) {
            due.push_back({row.id, {}, {}});
        }
    }
    if (due.empty()) {
        return;
    }
    const std::vector<FtpSession*> sessions =
        lanes_.take(simultaneous_transfers(ctx_.params), due.size());
    for (FtpSession* session : sessions) {
        trace_to(*session, ctx_.ui);
    }
    TransferLanes lanes(ctx_.ui, sessions, office_login(false, ctx_.session, ctx_.params));
    const int items = static_cast<int>(due.size());
    std::exception_ptr ends_run;
    try {
        lanes_.limit_to(lanes.run(
            due.size(),
            [&](std::size_t i) { return prepare_upload(due[i], static_cast<int>(i) + 1, items); },
            [&](std::size_t i, std::exception_ptr failure, FtpSession&) {
                return finish_upload(due[i], std::move(failure), ends_run);
            }));
    } catch (...) {
        lanes_.close_extra();
        throw;
    }
    lanes_.close_extra();
    if (ends_run) {
        std::rethrow_exception(ends_run);  // ends the run, which tells the journal
    }
}

std::optional<TransferLanes::Work> SendingRun::prepare_upload(Upload& upload, int item, int items) {
    stop_point(ctx_.stop);
    // The user may have removed or changed the entry while the run waited.
    const SendRow* row = ctx_.send.find(upload.id);
    if (row == nullptr || !due_today(*row)) {
        return std::nullopt;
    }
    upload.entry = *row;
    upload.route = *route_for(upload.entry.text, ctx_.session);
    const auto& work = ctx_.session.paths.work_folder;
    const std::string& name = upload.entry.text;
    try {
        // The office's file system found "m0015009.342" for the row "M0015009.342"; the file
        // is read as it is named and uploaded under the row's name.
        const auto source = find_file_ignoring_case(upload.route.source.parent_path(), name);
        copy_through_temp(source.value_or(upload.route.source), work / name, ctx_.stop);
        ctx_.journal.upload_started(upload.id, work / name, upload.route.remote_in, ctx_.stop);
    } catch (const RunStopped&) {
        stopped(upload);
        throw;
    } catch (const NumberedError&) {
        // A local failure of this file is this file's: its outcome, as an upload's would be.
        return [failure = std::current_exception()](FtpSession&, const auto&) {
            std::rethrow_exception(failure);
        };
    }
    // Progress is told from the lanes only (one report at a time): the upload's start too.
    return [work, remote = upload.route.remote_in, name, item, items](FtpSession& session,
                                                                      const auto& progress) {
        progress({.what = name, .item = item, .items = items});
        session.set_progress([&](std::int64_t done, std::int64_t total) {
            progress({.what = name, .done = done, .total = total, .item = item, .items = items});
        });
        const ProgressOff off{session};
        session.upload(work / name, remote, name);
    };
}

TransferLanes::Next SendingRun::finish_upload(const Upload& upload, std::exception_ptr failure,
                                              std::exception_ptr& ends_run) {
    const std::string& name = upload.entry.text;
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const RunStopped&) {
            stopped(upload);
            throw;
        } catch (const NumberedError& error) {
            if (!asked_as_local_file(error.number())) {
                ends_run = ends_run ? ends_run : failure;
                return TransferLanes::Next::Halt;
            }
            ctx_.journal.send_failed(upload.id, error);
            stop_point(ctx_.stop);
            if (ask_retry(ctx_.ui, error.number(), name)) {
                return TransferLanes::Next::Again;
            }
            remove_quietly(ctx_.session.paths.work_folder / name);
            return TransferLanes::Next::Go;  // not sent: the entry stays in the send list
        }
    }
    ctx_.ui.yield();
    // Sent: whatever happens to the clean-up, the file is never uploaded again.
    clear_working_files(name, upload.route);
    move_to_receive(upload.id, upload.entry, upload.route);
    return TransferLanes::Next::Go;
}

// The program is ending: the upload cut short is not sent, and the journal says why.
void SendingRun::stopped(const Upload& upload) {
    remove_quietly(ctx_.session.paths.work_folder / upload.entry.text);
    ctx_.journal.send_failed(upload.id, NumberedError(0, kStoppedUpload));
}

bool SendingRun::asked_as_local_file(int number) {
    // An upload the server refused (1003) did not take place: asked like a missing file.
    return number == error_number::kPathNotFound || number == error_number::kFileLocked ||
           number == ftp_error::kNotTransferred;
}

void SendingRun::clear_working_files(const std::string& name, const Route& route) {
    // Answers of an earlier run of the same file would be taken for new ones.
    const auto& work = ctx_.session.paths.work_folder;
    for (const std::string* file : {&route.archivo_val, &route.archivo_prev, &name}) {
        if (file->empty()) {
            continue;
        }
        // The question names the file that is in the way; No goes on as though it were gone.
        for (;;) {
            try {
                delete_file(work / *file);
                break;
            } catch (const NumberedError& error) {
                if (!ask_retry(ctx_.ui, error.number(), *file)) {
                    break;
                }
            }
        }
    }
}

void SendingRun::move_to_receive(RowId id, const SendRow& entry, const Route& route) {
    const RowId received = ctx_.receive.append(receive_row_for(entry, route, ctx_.time_now()));
    ctx_.journal.sent(id, received);
    ctx_.send.update(id, [](SendRow& row) { row.text.clear(); });
}

// The program is ending: no message, no further transfer; the lists stay as consistent as
// after a failure.
void SendingRun::end_stopped() {
    Desconecta_FTP(eftpEnvio_, ctx_.ui);
    ctx_.send.compact();
}

void SendingRun::end_with(const NumberedError& error) {
    ended_by_ = error;
    // Every file the run was to send met the failure that ended it.
    for (const SendRow& row : ctx_.send.rows()) {
        if (due_today(row)) {
            ctx_.journal.send_failed(row.id, error);
        }
    }
    if (const auto text = failure_message(error, ctx_.link_type(), LoginCaller::SendAndReceive)) {
        show_ftp_failure(ctx_.ui, *text, error,
                         "Los archivos que no se enviaron siguen en la lista de envío; vuelve a "
                         "oprimir «Enviar/Recibir» cuando se resuelva.");
    }
    Desconecta_FTP(eftpEnvio_, ctx_.ui);
    // What was sent before the failure has moved to the receive list; its entries go.
    ctx_.send.compact();
}

}  // namespace ordano
