// SPDX-License-Identifier: Apache-2.0
#include "transfer/PaymentPasswordChange.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/RunStop.h"
#include "base/Scramble.h"
#include "base/UiPort.h"
#include "office/Parameters.h"
#include "office/Session.h"
#include "platform/OwnerOnly.h"
#include "transfer/ConnectionMessages.h"
#include "transfer/FtpRoutines.h"
#include "transfer/FtpSession.h"
#include "transfer/SendingRun.h"
#include "transfer/TransferErrors.h"
#include "transfer/TransferFiles.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPaymentFolder = "/update";
constexpr std::string_view kCrLf = "\r\n";

std::string four_digits(int patente) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", patente);
    return digits;
}

// A file written in the drive root for one upload and removed when the routine leaves it,
// whatever happened: the recovery request holds the password in clear. Only its owner may read
// it meanwhile, from before its bytes go in.
class WorkingFile {
public:
    WorkingFile(const fs::path& folder, const std::string& name, std::string_view bytes)
        : path_(folder / name) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        restrict_to_owner(path_);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            remove_quietly(path_);
            throw NumberedError(error_number::kFileLocked, "No se pudo escribir " + path_.string());
        }
    }
    ~WorkingFile() { remove_quietly(path_); }
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;

private:
    fs::path path_;
};

// Closes eftpPrincipal when the routine leaves, also after a failure.
class SessionCloser {
public:
    SessionCloser(FtpSession& ftp, UiPort& ui) : ftp_(ftp), ui_(ui) {}
    ~SessionCloser() {
        try {
            log_out(ftp_, ui_);
        } catch (...) {
            // Closing cannot fail in a way worth telling after the routine's own outcome.
        }
    }
    SessionCloser(const SessionCloser&) = delete;
    SessionCloser& operator=(const SessionCloser&) = delete;

private:
    FtpSession& ftp_;
    UiPort& ui_;
};

// Writes `bytes` as `name` in the drive root and uploads it into `remote_folder`.
void upload_working_file(const PaymentPasswordContext& ctx, bool update_account,
                         const std::string& name, std::string_view bytes,
                         std::string_view remote_folder) {
    const fs::path& root = ctx.session.paths.drive_root;
    const WorkingFile file(root, name, bytes);
    const SessionCloser closer(ctx.ftp, ctx.ui);
    log_in(ctx.ftp, update_account, ctx.session, ctx.params, ctx.ui);
    upload_file(ctx.ftp, ctx.ui, root, remote_folder, name);
}

void publish_line(const PaymentPasswordContext& ctx, std::string_view bytes) {
    upload_working_file(ctx, false, SendingRun::payment_file_name(ctx.session.patente), bytes,
                        kPaymentFolder);
}

// The connection messages that eftpPrincipal's routines show.
std::string failure_text(const NumberedError& error, const ParametersRecord& params) {
    if (is_login_refused(error.number())) {
        return std::string(login_refused_message(LoginCaller::BulletinAndRecovery));
    }
    if (error.number() == ftp_error::kUnreachable) {
        return no_connection_message(static_cast<int>(params.number(Param::tipo_acceso)));
    }
    return error_number_message(error.number(), error.description());
}

void show_failure(const PaymentPasswordContext& ctx, const std::string& text) {
    ctx.ui.message(text, MessageIcon::Critical, MessageButtons::Ok);
}

// Stores the password published on the server; when the record cannot be saved the server
// gets its old line back (as far as it can be reached), so both keep the old password.
bool store_locally(const PaymentPasswordContext& ctx, std::string_view new_password,
                   std::string scrambled) {
    try {
        ctx.params.set_text(Param::PassBan, std::move(scrambled));
        ctx.params.save();
    } catch (const std::exception& error) {
        try {
            publish_line(ctx,
                         payment_password_line(ctx.session.bandera_pago, ctx.session.pass_ban));
        } catch (const std::exception&) {
            // The message below already tells that the change did not take place.
        }
        show_failure(ctx, std::string("No se pudo guardar la contraseña en la base de datos: ") +
                              error.what());
        return false;
    }
    ctx.session.pass_ban = std::string(new_password);
    return true;
}

}  // namespace

std::string payment_password_line(char bandera_pago, std::string_view password) {
    // A flag read from an empty server line is no letter; the file gets the default one.
    const char flag = bandera_pago == '\0' ? 'N' : bandera_pago;
    std::string line(1, flag);
    line += scramble(password);
    return text::utf8_to_cp1252(line) + std::string(kCrLf);
}

std::string recovery_file_name(int patente) {
    return "PASS" + four_digits(patente) + ".TXT";
}

std::string recovery_line(int patente, std::string_view pass_ban) {
    return text::utf8_to_cp1252("Password de la patente " + four_digits(patente) + ":  " +
                                std::string(pass_ban)) +
           std::string(kCrLf);
}

std::optional<std::string_view> password_change_refusal(const Sesion& session,
                                                        std::string_view current,
                                                        std::string_view new_password,
                                                        std::string_view confirmation) {
    if (current != session.pass_ban) {
        return "No coincide la contraseña actual";
    }
    if (confirmation != new_password) {
        return "La contraseña nueva no coincide con la confirmación";
    }
    return std::nullopt;
}

bool change_payment_password(const PaymentPasswordContext& ctx, std::string_view new_password) {
    std::string scrambled;
    std::string line;
    try {
        scrambled = scramble(new_password);
        line = payment_password_line(ctx.session.bandera_pago, new_password);
    } catch (const FormatError& error) {
        show_failure(ctx, std::string("La contraseña nueva no se puede guardar: ") + error.what());
        return false;
    }
    try {
        publish_line(ctx, line);
    } catch (const NumberedError& error) {
        show_ftp_failure(ctx.ui, failure_text(error, ctx.params), error,
                         "La contraseña de pago no cambió, ni en el servidor ni en este equipo.");
        return false;
    } catch (const RunStopped&) {
        return false;  // the program is ending; nothing changed
    }
    return store_locally(ctx, new_password, std::move(scrambled));
}

void request_password_recovery(const PaymentPasswordContext& ctx) {
    const int patente = ctx.session.patente;
    try {
        upload_working_file(ctx, true, recovery_file_name(patente),
                            recovery_line(patente, ctx.session.pass_ban), ctx.session.dir_update);
    } catch (const NumberedError& error) {
        // The request did not take place; as the update routines do, that ends it quietly.
        if (error.number() != ftp_error::kNotTransferred) {
            show_ftp_failure(ctx.ui, failure_text(error, ctx.params), error,
                             "La solicitud no llegó al servidor; vuelve a enviarla más tarde.");
        }
        return;
    } catch (const FormatError& error) {
        show_failure(ctx, error_number_message(error_number::kTypeMismatch, error.what()));
        return;
    } catch (const RunStopped&) {
        return;  // the program is ending
    }
    ctx.ui.message("Envio satisfactorio", MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace ordano
