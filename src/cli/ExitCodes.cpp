// SPDX-License-Identifier: Apache-2.0
#include "cli/ExitCodes.h"

#include <algorithm>
#include <array>

#include "base/Errors.h"
#include "transfer/FtpSession.h"

namespace ordano::cli {
namespace {

using namespace exit_code;

constexpr std::array<ExitCodeRow, 11> kTable = {{
    {kSuccess, "todo se hizo"},
    {kFailure, "otro fallo"},
    {kUsage, "error en la línea de órdenes (orden, opción o valor)"},
    {kUnreachable, "no se pudo llegar al servidor (1029) o a su conexión de datos (1037, 1038)"},
    {kRefused,
     "el servidor rechazó el acceso (1013), la conexión cifrada o su certificado (1030-1036), "
     "o la contraseña de pago electrónico no se aceptó"},
    {kTransferFailed,
     "una transferencia no se hizo o se cortó (1003, 1000, 1002), o el servidor no admitió "
     "más sesiones (1040)"},
    {kAnswersMissing, "terminó la espera de --wait sin todas las respuestas"},
    {kLocalProblem,
     "problema en este equipo: archivo de configuración, base de datos, o un archivo o carpeta "
     "que no se puede leer o escribir (68, 70, 61)"},
    {kOfficeBusy, "otro programa de Ordano tiene abierta la oficina"},
    {kInterrupted, "detenida con Ctrl+C (SIGINT)"},
    {kTerminated, "detenida con SIGTERM"},
}};

// From the most telling down; a status not listed (success) tells least.
constexpr std::array kPrecedence = {kUsage,       kOfficeBusy,     kRefused,        kLocalProblem,
                                    kUnreachable, kTransferFailed, kAnswersMissing, kFailure};

int rank(int code) {
    const auto* at = std::find(kPrecedence.begin(), kPrecedence.end(), code);
    return static_cast<int>(kPrecedence.end() - at);
}

}  // namespace

std::span<const int> exit_code_precedence() {
    return kPrecedence;
}

std::span<const ExitCodeRow> exit_code_table() {
    return kTable;
}

std::string_view exit_code_meaning(int code) {
    const auto* row = std::find_if(kTable.begin(), kTable.end(),
                                   [code](const ExitCodeRow& r) { return r.code == code; });
    return row == kTable.end() ? std::string_view() : row->meaning;
}

int exit_code_for_number(int number) {
    switch (number) {
        case ftp_error::kUnreachable:
        case ftp_error::kDataConnectionRefused:
        case ftp_error::kDataConnectionUnanswered:
            return kUnreachable;
        case ftp_error::kSessionBroken:
        case ftp_error::kNoAnswer:
        case ftp_error::kNotTransferred:
        case ftp_error::kSessionLimit:
            return kTransferFailed;
        case 61:  // disk full
        case error_number::kPathNotFound:
        case error_number::kFileLocked:
            return kLocalProblem;
        default:
            break;
    }
    // 1013 to 1015: the login refused; 1030 to 1036: encryption and certificates.
    if ((number >= ftp_error::kLoginRefused && number <= 1015) ||
        (number >= 1030 && number <= 1036)) {
        return kRefused;
    }
    return kFailure;
}

int more_telling(int a, int b) {
    return rank(b) > rank(a) ? b : a;
}

}  // namespace ordano::cli
