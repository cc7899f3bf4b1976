// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Changing the payment password on the server and asking the server to recover it: the
// files each one uploads and the order in which the office's copy follows.

namespace ordano {

class FtpSession;
class ParametersRecord;
class UiPort;
struct Sesion;

// What the payment-password change and recovery work on; everything is owned elsewhere.
// `ftp` is eftpPrincipal, the main window's session for the bulletins and the payment password.
struct PaymentPasswordContext {
    Sesion& session;
    ParametersRecord& params;
    UiPort& ui;
    FtpSession& ftp;
};

// The one line of the server's payment-password file "cfps" + patente + ".rgs": the flag
// letter immediately followed by scramble of the password, then CR LF; as the Windows-1252
// bytes written to disk. Throws FormatError for a password that cannot be scrambled.
[[nodiscard]] std::string payment_password_line(char bandera_pago, std::string_view password);

// "PASS" + patente with four digits + ".TXT", and its line "Password de la patente " +
// patente with four digits + ":  " + the password in clear + CR LF, as Windows-1252 bytes.
[[nodiscard]] std::string recovery_file_name(int patente);
[[nodiscard]] std::string recovery_line(int patente, std::string_view pass_ban);

// The change window's checks, in order: the current password must be pass_ban exactly, then
// the confirmation must be the new password exactly. The message to show, or nullopt when the
// change may go ahead.
[[nodiscard]] std::optional<std::string_view> password_change_refusal(
    const Sesion& session, std::string_view current, std::string_view new_password,
    std::string_view confirmation);

// Publishes the new password in the server's file (in "/update", office account) and only
// when that upload succeeded stores it in PassBan and pass_ban, so the office never holds a
// password the server does not know. A failure is shown with the connection messages and
// changes nothing (a record that cannot be saved puts the old server line back). The local
// copy in the drive root is removed whatever happens. true when changed.
bool change_payment_password(const PaymentPasswordContext& ctx, std::string_view new_password);

// Sends the recovery request: the file PASS<patente>.TXT with the password in clear, uploaded
// with the update account into dir_update, then "Envio satisfactorio". Failures end it with
// their message (1003 silently). The clear-text file is removed from the drive root whatever
// happens.
void request_password_recovery(const PaymentPasswordContext& ctx);

}  // namespace ordano
