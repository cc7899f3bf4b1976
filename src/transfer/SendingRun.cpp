// SPDX-License-Identifier: Apache-2.0
#include "transfer/SendingRun.h"

#include <cstdio>
#include <vector>

#include "store/Encoding.h"
#include "store/Errors.h"
#include "store/FileNames.h"
#include "store/FileOps.h"
#include "store/FlagScope.h"
#include "store/RunStop.h"
#include "store/Scramble.h"
#include "store/Session.h"
#include "store/UiPort.h"
#include "store/WorkingFiles.h"
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
// Passes everything through, stamping the upload's place in the run ("n of m") on each
// progress report; the reports may come from the thread that runs the transfer.
class ItemProgressUi final : public ForwardingUi {
public:
    ItemProgressUi(UiPort& inner, int item, int items)
        : ForwardingUi(inner), item_(item), items_(items) {}

    void progress(const Progress& report) override {
        Progress stamped = report;
        stamped.item = item_;
        stamped.items = items_;
        inner().progress(stamped);
    }

private:
    const int item_;
    const int items_;
};

// The number the office's staff know for a value that cannot be read ("invalid argument").
constexpr int kUnreadableValue = 5;

}  // namespace

SendingRun::SendingRun(TransferContext context, BulletinRefresh refresh_bulletin)
    : ctx_(context), refresh_bulletin_(std::move(refresh_bulletin)) {
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

void SendingRun::send_due_entries() {
    std::vector<RowId> due;
    for (const auto& row : ctx_.send.rows()) {
        if (due_today(row)) {
            due.push_back(row.id);
        }
    }
    const int items = static_cast<int>(due.size());
    for (int i = 0; i < items; ++i) {
        stop_point(ctx_.stop);
        send_entry(due[static_cast<std::size_t>(i)], i + 1, items);
    }
}

void SendingRun::send_entry(RowId id, int item, int items) {
    for (;;) {
        // The user may have removed or changed the entry while the run waited.
        const SendRow* row = ctx_.send.find(id);
        if (row == nullptr || !due_today(*row)) {
            return;
        }
        const SendRow entry = *row;
        const Route route = *route_for(entry.text, ctx_.session);
        try {
            upload(entry, route, item, items);
        } catch (const RunStopped&) {
            remove_quietly(ctx_.session.paths.work_folder / entry.text);
            ctx_.journal.send_failed(id, NumberedError(0, kStoppedUpload));
            throw;
        } catch (const NumberedError& error) {
            if (!asked_as_local_file(error.number())) {
                throw;  // ends the run, which tells the journal
            }
            ctx_.journal.send_failed(id, error);
            stop_point(ctx_.stop);
            if (ask_retry(ctx_.ui, error.number(), entry.text)) {
                continue;
            }
            remove_quietly(ctx_.session.paths.work_folder / entry.text);
            return;  // not sent: the entry stays in the send list as it was
        }
        // Sent: whatever happens to the clean-up, the file is never uploaded again.
        clear_working_files(entry.text, route);
        move_to_receive(id, entry, route);
        return;
    }
}

bool SendingRun::asked_as_local_file(int number) {
    // An upload the server refused (1003) did not take place: asked like a missing file.
    return number == error_number::kPathNotFound || number == error_number::kFileLocked ||
           number == ftp_error::kNotTransferred;
}

void SendingRun::upload(const SendRow& entry, const Route& route, int item, int items) {
    const auto& work = ctx_.session.paths.work_folder;
    // The office's file system found "m0015009.342" for the row "M0015009.342"; the file is
    // read as it is named and uploaded under the row's name.
    const auto source = find_file_ignoring_case(route.source.parent_path(), entry.text);
    copy_through_temp(source.value_or(route.source), work / entry.text, ctx_.stop);
    ctx_.journal.upload_started(entry.id, work / entry.text, route.remote_in, ctx_.stop);
    ItemProgressUi ui(ctx_.ui, item, items);
    ui.progress({.what = entry.text});
    Sube_Archivo(eftpEnvio_, ui, work, route.remote_in, entry.text);
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
