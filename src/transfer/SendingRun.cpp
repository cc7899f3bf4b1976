// SPDX-License-Identifier: Apache-2.0
#include "transfer/SendingRun.h"

#include <cstdio>
#include <set>
#include <vector>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/FlagScope.h"
#include "base/RunStop.h"
#include "base/Scramble.h"
#include "base/Sha256.h"
#include "base/UiPort.h"
#include "office/Session.h"
#include "office/WorkingFiles.h"
#include "transfer/FtpRoutines.h"
#include "transfer/JournalRecorder.h"
#include "transfer/ReceiveList.h"
#include "transfer/ReceptionIntake.h"
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
// The number the office's staff know for a value that cannot be read ("invalid argument").
constexpr int kUnreadableValue = 5;

// A failure after which the server may hold the file, whole or in part.
bool kept_unknown(int number) {
    return number == ftp_error::kSessionBroken || number == ftp_error::kNoAnswer ||
           number == ftp_error::kOther;
}

// Whether remote/name on the server holds the very bytes of `local` (its SHA-256): the file is
// fetched beside it and compared.
bool holds_bytes(FtpSession& session, const std::filesystem::path& local, std::string_view remote,
                 const std::string& name) {
    struct Fetched {
        std::filesystem::path file;
        ~Fetched() { remove_quietly(file); }
    } const fetched{local.parent_path() / (name + ".servidor")};
    try {
        session.download(fetched.file, remote, name);
    } catch (const FtpError& error) {
        if (error.number() == ftp_error::kNotTransferred) {
            return false;  // not there
        }
        throw;
    }
    return digest_file(fetched.file).sha256 == digest_file(local).sha256;
}

// An upload of these bytes was never confirmed: the server holds them already under the real
// name, or whole under the temporary name (renamed now), or the file goes up again.
bool settled_on_server(FtpSession& session, const std::filesystem::path& local,
                       std::string_view remote, const std::string& name) {
    if (holds_bytes(session, local, remote, name)) {
        return true;
    }
    const std::string temporary = temporary_upload_name(name);
    if (!holds_bytes(session, local, remote, temporary)) {
        return false;
    }
    session.rename_file(remote, temporary, name);
    return true;
}

}  // namespace

SendingRun::SendingRun(Sesion& session, const ParametersRecord& params, UiPort& ui, SendList& send,
                       SendingJournal& journal, ReceptionIntake& reception,
                       BulletinRefresh refresh_bulletin, std::stop_token stop)
    : session_(session),
      params_(params),
      ui_(ui),
      send_(send),
      journal_(journal),
      reception_(reception),
      refresh_bulletin_(std::move(refresh_bulletin)),
      stop_(std::move(stop)),
      lanes_(ftp_, stop_) {
    ftp_.stop_with(stop_);
    ftp_.publish_ways()->on_refusal([this](const std::string&) { refusal_heard_ = true; });
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
    if (send_.empty()) {
        ui_.message("Debes incluir al menos un archivo en la lista de envío!!!",
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
    remove_stale_working_files(session_.paths);
    if (refresh_bulletin_) {
        refresh_bulletin_();
    }
    ui_.yield();
    log_in(ftp_, false, session_, params_, ui_);
    remove_leftovers();
    fetch_payment_file();
    stop_point(stop_);
    if (decide_password()) {
        send_due_entries();
        send_.compact();
    }
    log_out(ftp_, ui_);
    reception_.start_polling();
}

void SendingRun::fetch_payment_file() {
    const std::string name = payment_file_name(session_.patente);
    const auto local = session_.paths.drive_root / name;
    try {
        download_file(ftp_, ui_, session_.paths.drive_root, kPaymentFolder, name);
    } catch (const FtpError& error) {
        // No payment file on the server: nothing was written, the flag becomes "N" below.
        if (error.number() != ftp_error::kNotTransferred) {
            throw;
        }
    }
    const auto line = read_first_line_bytes(local);
    if (!line) {
        session_.bandera_pago = 'N';
        return;
    }
    delete_file(local);
    ui_.yield();
    session_.bandera_pago = line->empty() ? '\0' : line->front();
    try {
        session_.pass_ban = unscramble(text::cp1252_to_utf8(line->empty() ? "" : line->substr(1)));
    } catch (const FormatError& error) {
        throw NumberedError(
            kUnreadableValue,
            "El archivo " + name + " del servidor no se puede leer: " + error.what());
    }
}

bool SendingRun::decide_password() {
    if (session_.bandera_pago == 'S') {
        session_.pass_aceptada = false;
        session_.pass_aceptada = ui_.ask_payment_password();
    } else {
        session_.pass_aceptada = true;
        if (send_.has_pending_payment()) {
            session_.pass_aceptada = false;
            session_.bandera_pago = 'S';
            session_.pass_aceptada = ui_.ask_payment_password();
        }
    }
    return (session_.bandera_pago == 'S' && session_.pass_aceptada) || session_.bandera_pago == 'N';
}

bool SendingRun::due_today(const SendRow& row) const {
    // A name whose last three characters are not a number is not today's file.
    return row.pending() && julian_day_of(row.text) == session_.dia_juliano &&
           route_for(row.text, session_).has_value();
}

// Several files go up at once on extra sessions (eftpEnvio#2, ...) as the office's setting
// allows; each is moved to the receive list, and the journal told, in the order of the list.
void SendingRun::send_due_entries() {
    std::vector<Upload> due;
    for (const auto& row : send_.rows()) {
        if (due_today(row)) {
            due.push_back({row.id, {}, {}});
        }
    }
    if (due.empty()) {
        return;
    }
    const int items = static_cast<int>(due.size());
    std::exception_ptr ends_run;
    run_on_lanes(lanes_, simultaneous_transfers(params_), due.size(), ui_,
                 office_login(false, session_, params_), [&](TransferLanes& lanes) {
                     return lanes.run(
                         due.size(),
                         [&](std::size_t i) {
                             return prepare_upload(due[i], static_cast<int>(i) + 1, items);
                         },
                         [&](std::size_t i, std::exception_ptr failure, FtpSession*) {
                             return finish_upload(due[i], std::move(failure), ends_run);
                         },
                         [&](std::size_t i, const std::exception_ptr& failure) {
                             upload_ended(due[i], failure);
                         });
                 });
    if (ends_run) {
        std::rethrow_exception(ends_run);  // ends the run, which tells the journal
    }
}

std::optional<TransferLanes::Work> SendingRun::prepare_upload(Upload& upload, int item, int items) {
    stop_point(stop_);
    // The user may have removed or changed the entry while the run waited.
    const SendRow* row = send_.find(upload.id);
    if (row == nullptr || !due_today(*row)) {
        return std::nullopt;
    }
    upload.entry = *row;
    upload.route = *route_for(upload.entry.text, session_);
    const auto& work = session_.paths.work_folder;
    const std::string& name = upload.entry.text;
    bool ask_first = false;
    try {
        // The office's file system found "m0015009.342" for the row "M0015009.342"; the file
        // is read as it is named and uploaded under the row's name.
        const auto source = find_file_ignoring_case(upload.route.source.parent_path(), name);
        copy_through_temp(source.value_or(upload.route.source), work / name, stop_);
        journal_.upload_started(upload.id, work / name, upload.route.remote_in, stop_);
        ask_first = journal_.may_be_on_server(upload.id);
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
    return [work, remote = upload.route.remote_in, name, item, items, ask_first, way = upload.way](
               FtpSession& session, const auto& progress) {
        progress({.what = name, .item = item, .items = items});
        if (ask_first && settled_on_server(session, work / name, remote, name)) {
            *way = UploadWay::Found;
            return;
        }
        const ScopedProgress told(session, [&](std::int64_t done, std::int64_t total) {
            progress({.what = name, .done = done, .total = total, .item = item, .items = items});
        });
        *way = session.upload(work / name, remote, name);
    };
}

// Before anything is sent: what uploads the server never confirmed may have left under their
// temporary names goes. Files the journal does not know are never touched, nor those about to
// be sent (their upload asks the server what it holds first, a whole copy included).
void SendingRun::remove_leftovers() {
    std::set<std::string> due;
    for (const auto& row : send_.rows()) {
        if (due_today(row)) {
            due.insert(row.text);
        }
    }
    for (const auto& [folder, name] : journal_.unconfirmed_uploads()) {
        if (due.contains(name)) {
            continue;
        }
        stop_point(stop_);
        try {
            ui_.run_blocking([&] { (void)ftp_.remove_file(folder, temporary_upload_name(name)); });
        } catch (const FtpError&) {
            // Tried again at the next run; the upload under the temporary name replaces it.
        }
    }
}

// The moment the server confirms an upload (or its failure leaves it unknown what the server
// kept), the journal says so, whatever the place of the file in the list.
void SendingRun::upload_ended(const Upload& upload, const std::exception_ptr& failure) {
    if (refusal_heard_.exchange(false)) {
        ui_.remark(
            "El servidor no permite cambiar el nombre de los archivos: desde ahora cada "
            "archivo se envía directamente con su propio nombre.");
    }
    if (!failure) {
        journal_.uploaded(upload.id,
                          expected_answers(receive_row_for(upload.entry, upload.route, "")),
                          *upload.way);
        return;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const RunStopped&) {
        journal_.upload_unconfirmed(upload.id);
    } catch (const FtpError& error) {
        if (kept_unknown(error.number())) {
            journal_.upload_unconfirmed(upload.id);
        }
    } catch (...) {
        // A local failure: nothing reached the server.
    }
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
            journal_.send_failed(upload.id, error);
            stop_point(stop_);
            if (ask_retry(ui_, error.number(), name)) {
                return TransferLanes::Next::Again;
            }
            remove_quietly(session_.paths.work_folder / name);
            return TransferLanes::Next::Go;  // not sent: the entry stays in the send list
        }
    }
    ui_.yield();
    // Sent: whatever happens to the clean-up, the file is never uploaded again.
    clear_working_files(name, upload.route);
    move_to_receive(upload.id, upload.entry, upload.route);
    return TransferLanes::Next::Go;
}

// The program is ending: the upload cut short is not sent, and the journal says why.
void SendingRun::stopped(const Upload& upload) {
    remove_quietly(session_.paths.work_folder / upload.entry.text);
    journal_.send_failed(upload.id, NumberedError(0, kStoppedUpload));
}

bool SendingRun::asked_as_local_file(int number) {
    // An upload the server refused (1003) did not take place: asked like a missing file.
    return number == error_number::kPathNotFound || number == error_number::kFileLocked ||
           number == ftp_error::kNotTransferred;
}

void SendingRun::clear_working_files(const std::string& name, const Route& route) {
    // Answers of an earlier run of the same file would be taken for new ones.
    const auto& work = session_.paths.work_folder;
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
                if (!ask_retry(ui_, error.number(), *file)) {
                    break;
                }
            }
        }
    }
}

void SendingRun::move_to_receive(RowId id, const SendRow& entry, const Route& route) {
    const RowId received = reception_.await_answers(entry, route, /*handed_over=*/false);
    journal_.sent(id, received);
    send_.update(id, [](SendRow& row) { row.sent = true; });
}

// The program is ending: no message, no further transfer; the lists stay as consistent as
// after a failure.
void SendingRun::end_stopped() {
    log_out(ftp_, ui_);
    send_.compact();
}

void SendingRun::end_with(const NumberedError& error) {
    ended_by_ = error;
    // Every file the run was to send met the failure that ended it.
    for (const SendRow& row : send_.rows()) {
        if (due_today(row)) {
            journal_.send_failed(row.id, error);
        }
    }
    if (const auto text = failure_message(error, link_type(params_), LoginCaller::SendAndReceive)) {
        show_ftp_failure(ui_, *text, error,
                         "Los archivos que no se enviaron siguen en la lista de envío; vuelve a "
                         "oprimir «Enviar/Recibir» cuando se resuelva.");
    }
    log_out(ftp_, ui_);
    // What was sent before the failure has moved to the receive list; its entries go.
    send_.compact();
}

}  // namespace ordano
