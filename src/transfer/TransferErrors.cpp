// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferErrors.h"

#include "base/Errors.h"
#include "base/UiPort.h"
#include "office/Parameters.h"
#include "transfer/FtpSession.h"

namespace ordano {

int link_type(const ParametersRecord& params) {
    return static_cast<int>(params.number(Param::tipo_acceso));
}

bool is_login_refused(int number) {
    return number >= ftp_error::kLoginRefused && number <= 1015;
}

std::optional<std::string> failure_message(const NumberedError& error, int tipo_acceso,
                                           LoginCaller caller) {
    const int number = error.number();
    if (number == ftp_error::kSessionBroken || number == ftp_error::kNotTransferred) {
        return std::nullopt;
    }
    if (is_login_refused(number)) {
        return std::string(login_refused_message(caller));
    }
    if (number == ftp_error::kUnreachable) {
        return no_connection_message(tipo_acceso);
    }
    return error_number_message(number, error.description());
}

std::string failure_details(const NumberedError& error) {
    const auto* ftp = dynamic_cast<const FtpError*>(&error);
    return ftp != nullptr ? ftp->details() : std::string();
}

void show_ftp_failure(UiPort& ui, std::string_view text, const NumberedError& error,
                      std::string_view what_stays) {
    std::string details(what_stays);
    if (const std::string more = failure_details(error); !more.empty()) {
        details += (details.empty() ? "" : "\n") + more;
    }
    ui.detailed_message(text, details, MessageIcon::Critical, MessageButtons::Ok);
}

bool ask_retry(UiPort& ui, int number, std::string_view name) {
    const std::string text = number == error_number::kFileLocked
                                 ? "Archivo : " + std::string(name) +
                                       " se encuentra bloqueado, ¿deseas reintentar el envío?"
                                 : "La ruta o directorio del archivo : " + std::string(name) +
                                       " no se encuentra, ¿deseas reintentar el envío?";
    return ui.message(text, MessageIcon::None, MessageButtons::YesNo) == MessageAnswer::Yes;
}

}  // namespace ordano
