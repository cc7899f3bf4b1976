// SPDX-License-Identifier: Apache-2.0
#include "transfer/ConnectionMessages.h"

namespace ordano {

namespace {
constexpr std::string_view kCrLf = "\r\n";
}

std::string no_connection_message(int tipo_acceso) {
    // Link type 0 is the dial-up link.
    const std::string_view hint =
        tipo_acceso == 0 ? "Revisa tu Ordano Telefónico" : "Revisa tu Conexión de Red";
    std::string text = "No hay conexión al servidor de ZORVANIK";
    text += kCrLf;
    text += kCrLf;
    text += hint;
    text += " o tu Contraseña de Acceso";
    return text;
}

std::string error_number_message(int number, std::string_view description) {
    std::string text = "Error No. " + std::to_string(number);
    text += kCrLf;
    text += "Descripcion: ";
    text += description;
    return text;
}

std::string_view login_refused_message(LoginCaller caller) {
    switch (caller) {
        case LoginCaller::SendAndReceive:
            return "Usuario o Contraseña no aceptado";
        case LoginCaller::PollingTimer:
            return "Usuario o Contraseña no válido";
        case LoginCaller::CatalogUpdate:
            return "Usuario o Password no aceptado";
        case LoginCaller::BulletinAndRecovery:
            return "El Usuario o Contraseña no aceptado";
    }
    return "Usuario o Contraseña no aceptado";
}

}  // namespace ordano
