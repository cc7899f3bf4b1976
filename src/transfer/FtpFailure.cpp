// SPDX-License-Identifier: Apache-2.0
#include "transfer/FtpFailure.h"

#include "transfer/CurlCauses.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <string>
#include <utility>

namespace ordano {
namespace {

bool contains_word(std::string_view text, std::string_view word) {
    const auto it =
        std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        });
    return it != text.end();
}

bool contains_any(std::string_view text, std::span<const std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [text](std::string_view word) { return contains_word(text, word); });
}

bool is_refusal(std::string_view reply) {
    return !reply.empty() && (reply.front() == '4' || reply.front() == '5');
}

// A refusal (4xx or 5xx) whose text asks for encryption, as servers word it: "550 SSL/TLS
// required on the control channel", "530 Non-anonymous sessions must use encryption", ...
bool reply_asks_for_tls(std::string_view reply) {
    static constexpr std::array<std::string_view, 4> kWords = {"TLS", "SSL", "encrypt", "cifr"};
    return is_refusal(reply) && contains_any(reply, kWords);
}

// Which of the certificate's faults made the verification fail: the TLS library's verdict
// where it gives one (OpenSSL's X509_V_ERR_CERT_NOT_YET_VALID 9, _HAS_EXPIRED 10), else
// libcurl's wording, on OpenSSL or on Windows' own TLS (Schannel, whose words are the
// system's: "CERT_TRUST_IS_NOT_TIME_VALID", "SEC_E_WRONG_PRINCIPAL").
int certificate_number(const FtpFailureContext& context) {
    static constexpr std::array<std::string_view, 3> kExpired = {"expired", "not yet valid",
                                                                 "not_time_valid"};
    static constexpr std::array<std::string_view, 4> kHost = {"host name", "hostname",
                                                              "subject name", "wrong_principal"};
    const long verdict = context.certificate_verify_result;
    if (verdict == 9 || verdict == 10 || contains_any(context.curl_detail, kExpired)) {
        return ftp_error::kCertificateExpired;
    }
    if (contains_any(context.curl_detail, kHost)) {
        return ftp_error::kCertificateWrongHost;
    }
    return ftp_error::kCertificateUntrusted;
}

// A handshake that failed on the certificate's check itself. OpenSSL reports a signature that
// does not verify with the trusted authority's key (an authority renewed under the same name)
// by the failed signature check, and libcurl then takes it for a handshake failure; Windows'
// Schannel refuses an expired certificate during the negotiation itself.
bool certificate_check_failed(const FtpFailureContext& context) {
    static constexpr std::array<std::string_view, 3> kWords = {
        "certificate verify failed", "asn1 encoding routines", "SEC_E_CERT_EXPIRED"};
    return contains_any(context.curl_detail, kWords);
}

// The server's last reply answered EPSV or PASV: the call was opening the data connection it
// offered, so a failure to connect is the data connection's, on a session already logged in.
bool opening_data_connection(std::string_view last_reply) {
    return last_reply.starts_with("227") || last_reply.starts_with("229");
}

int number_for(CURLcode code, const FtpFailureContext& context) {
    // (libcurl may itself log in again on a new connection when it finds the old one closed:
    // a refused login is a login whatever the session had before.)
    if ((context.logging_in || code == CURLE_LOGIN_DENIED) &&
        is_session_limit(code, context.last_reply, context.account_accepted)) {
        return ftp_error::kSessionLimit;
    }
    if (!context.tls && reply_asks_for_tls(context.last_reply)) {
        return ftp_error::kTlsRequired;
    }
    switch (code) {
        case CURLE_USE_SSL_FAILED:
            return ftp_error::kTlsNotOffered;
        case CURLE_PEER_FAILED_VERIFICATION:
            return certificate_number(context);
        case CURLE_SSL_CACERT_BADFILE:
            return ftp_error::kAuthorityUnreadable;
        case CURLE_SSL_CONNECT_ERROR:
            return certificate_check_failed(context) ? certificate_number(context)
                                                     : ftp_error::kTlsHandshakeFailed;
        case CURLE_COULDNT_CONNECT:
            return opening_data_connection(context.last_reply) ? ftp_error::kDataConnectionRefused
                                                               : ftp_error::kUnreachable;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
            return ftp_error::kUnreachable;
        case CURLE_OPERATION_TIMEDOUT:
            if (opening_data_connection(context.last_reply)) {
                return ftp_error::kDataConnectionUnanswered;
            }
            return context.reached_server ? ftp_error::kNoAnswer : ftp_error::kUnreachable;
        case CURLE_LOGIN_DENIED:
            return ftp_error::kLoginRefused;
        case CURLE_FTP_WEIRD_PASV_REPLY:
            // A refusal read where the passive reply was awaited is the transfer's refusal (see
            // passive_reply_out_of_step).
            return is_refusal(context.last_reply) ? ftp_error::kNotTransferred : ftp_error::kOther;
        case CURLE_REMOTE_ACCESS_DENIED:   // CWD refused: the folder is missing
        case CURLE_REMOTE_FILE_NOT_FOUND:  // RETR 550
        case CURLE_FTP_COULDNT_RETR_FILE:  // RETR refused otherwise
        case CURLE_UPLOAD_FAILED:          // STOR refused (550, 553...)
            return ftp_error::kNotTransferred;
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_ABORTED_BY_CALLBACK:
        case CURLE_WEIRD_SERVER_REPLY:  // the reply was cut off by a closing connection
            return ftp_error::kSessionBroken;
        default:
            return ftp_error::kOther;
    }
}

std::string describe_tls(int number, const FtpFailureContext& context) {
    const std::string server(context.server);
    const std::string where = "Parámetros del Sistema, pestaña Generales";
    switch (number) {
        case ftp_error::kTlsRequired:
            return "El servidor " + server +
                   " exige conexión cifrada. Activa \"Conexión cifrada (TLS)\" en " + where + ".";
        case ftp_error::kTlsNotOffered:
            return "El servidor " + server +
                   " no ofrece conexión cifrada (TLS), que está activada en " + where +
                   ". No se envió nada. Confirma con el administrador del servidor si la usa.";
        case ftp_error::kCertificateUntrusted:
            return "El certificado del servidor " + server +
                   " no es de confianza: no lo firmó una autoridad reconocida. No se envió nada. "
                   "Elige el archivo de la autoridad certificadora del servidor en " +
                   where + ".";
        case ftp_error::kCertificateExpired:
            return "El certificado del servidor " + server +
                   " está vencido o todavía no es válido. No se envió nada. Avisa al "
                   "administrador del servidor y revisa la fecha y la hora de este equipo.";
        case ftp_error::kCertificateWrongHost:
            return "El certificado del servidor " + server +
                   " fue emitido para otro nombre. No se envió nada. Escribe la dirección del "
                   "servidor tal como aparece en su certificado en " +
                   where + ".";
        case ftp_error::kAuthorityUnreadable:
            if (context.authority_file.empty()) {
                return "No se pudieron leer los certificados de confianza del sistema para "
                       "verificar al servidor " +
                       server + ". Elige el archivo de la autoridad certificadora en " + where +
                       ".";
            }
            return "No se pudo leer el archivo de certificados " +
                   std::string(context.authority_file) + " para verificar al servidor " + server +
                   ". Elige otro archivo en " + where + ".";
        default:
            return "Falló la negociación de la conexión cifrada con el servidor " + server;
    }
}

bool is_tls_number(int number) {
    return number >= ftp_error::kTlsRequired && number <= ftp_error::kTlsHandshakeFailed;
}

std::string describe(int number, CURLcode code, const FtpFailureContext& context) {
    if (is_tls_number(number)) {
        return describe_tls(number, context);
    }
    const std::string server(context.server);
    const std::string path(context.remote_path);
    switch (number) {
        case ftp_error::kUnreachable:
            return "No se pudo establecer la conexión con el servidor " + server;
        case ftp_error::kLoginRefused:
            return "El servidor " + server + " no aceptó el usuario o la contraseña";
        case ftp_error::kNotTransferred:
            return "No se transfirió el archivo " + path +
                   ": el servidor no lo encontró o no lo permitió";
        case ftp_error::kNoAnswer:
            return "El servidor " + server + " dejó de responder";
        case ftp_error::kSessionLimit:
            return "El servidor " + server +
                   " no admite por ahora otra sesión de esta oficina: su límite de conexiones "
                   "por dirección está ocupado";
        case ftp_error::kDataConnectionRefused:
        case ftp_error::kDataConnectionUnanswered:
            return "Se inició la sesión con el servidor " + server +
                   ", pero la conexión de datos (modo pasivo) " +
                   (number == ftp_error::kDataConnectionRefused ? "fue rechazada"
                                                                : "no respondió") +
                   ". Suele deberse a un cortafuegos o ruteador que bloquea los puertos pasivos "
                   "del servidor: pide a quien administra la red de la oficina que permita las "
                   "conexiones a esos puertos, o al administrador del servidor que revise su "
                   "rango de puertos pasivos.";
        case ftp_error::kSessionBroken:
            if (context.cancelled) {
                return "Se canceló la transferencia de " + path;
            }
            return "Se interrumpió la sesión con el servidor " + server +
                   (path.empty() ? std::string() : " durante la transferencia de " + path);
        default:
            return curl_cause(code);
    }
}

// The server's address and port: "address:port", "[v6 address]:port", or the address alone
// (port 21).
std::pair<std::string, std::string> address_and_port(std::string_view server) {
    const auto colon = server.rfind(':');
    const bool bracketed = !server.empty() && server.front() == '[';
    const bool one_colon = colon != std::string_view::npos && server.find(':') == colon;
    if (colon != std::string_view::npos && (one_colon || (bracketed && server[colon - 1] == ']'))) {
        return {std::string(server.substr(0, colon)), std::string(server.substr(colon + 1))};
    }
    return {std::string(server), "21"};
}

// What the person can do about a failure of this number; empty where the description says
// it already (the encrypted sessions' failures) or where nothing is to be done (a cancel).
std::string_view what_to_do(int number, const FtpFailureContext& context) {
    if (context.cancelled) {
        return {};
    }
    switch (number) {
        case ftp_error::kUnreachable:
            return "Qué hacer: revisa que este equipo tenga conexión a la red y que la dirección "
                   "y el puerto del servidor sean los correctos (Parámetros del Sistema, pestaña "
                   "Generales). Si lo son, el servidor puede estar fuera de servicio: vuelve a "
                   "intentarlo en unos minutos.";
        case ftp_error::kLoginRefused:
            return "Qué hacer: confirma con el administrador del servidor el usuario y la "
                   "contraseña de la oficina.";
        case ftp_error::kNoAnswer:
            return "Qué hacer: el servidor aceptó la conexión y dejó de responder; vuelve a "
                   "intentarlo en unos minutos y, si se repite, avisa al administrador del "
                   "servidor.";
        case ftp_error::kSessionLimit:
            return "Qué hacer: espera a que terminen las otras conexiones de la oficina con el "
                   "servidor (otro programa de Ordano, otro equipo) y vuelve a intentarlo; si se "
                   "repite, pide al administrador del servidor que admita más conexiones por "
                   "dirección.";
        case ftp_error::kSessionBroken:
            return "Qué hacer: la conexión se cortó a media operación; revisa la red y vuelve a "
                   "intentarlo.";
        case ftp_error::kNotTransferred:
            return "Qué hacer: confirma con el administrador del servidor que la carpeta existe y "
                   "que la cuenta de la oficina puede usarla.";
        case ftp_error::kOther:
            return "Qué hacer: vuelve a intentarlo; si se repite, avisa al administrador del "
                   "servidor con estos detalles.";
        default:
            return {};
    }
}

std::string details(int number, CURLcode code, const FtpFailureContext& context) {
    std::string text;
    if (const std::string_view remedy = what_to_do(number, context); !remedy.empty()) {
        text += std::string(remedy) + "\n\n";
    }
    const auto [address, port] = address_and_port(context.server);
    text += "Servidor: " + address + ", puerto " + port + "\n";
    text += "Usuario: " + std::string(context.user) + "\n";
    text += "Paso: " + std::string(context.step) + "\n";
    text += "Error No. " + std::to_string(number) + "\n";
    if (context.server_reply > 0) {
        text += "Última respuesta del servidor: " + std::to_string(context.server_reply) + "\n";
    }
    if (opening_data_connection(context.last_reply) && !context.passive_ports.empty()) {
        const bool several = context.passive_ports.find(',') != std::string_view::npos;
        text += "Conexión de datos intentada: " + address + (several ? ", puertos " : ", puerto ") +
                std::string(context.passive_ports) + "\n";
    }
    // In the office's words; the library's code says the rest to whoever supports the office.
    text += "Causa: " + curl_cause(code);
    return text;
}

}  // namespace

FtpError ftp_failure(CURLcode code, const FtpFailureContext& context) {
    const int number = context.cancelled ? ftp_error::kSessionBroken : number_for(code, context);
    return FtpError(number, describe(number, code, context), details(number, code, context));
}

bool is_session_limit(CURLcode code, std::string_view last_reply, bool account_accepted) {
    return last_reply.starts_with("421") || (code == CURLE_LOGIN_DENIED && account_accepted);
}

bool passive_reply_out_of_step(CURLcode code) {
    return code == CURLE_FTP_WEIRD_PASV_REPLY;
}

bool looks_like_dropped_session(CURLcode code, std::string_view last_reply) {
    const bool session_failed = code == CURLE_OPERATION_TIMEDOUT || code == CURLE_SEND_ERROR ||
                                code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING ||
                                code == CURLE_WEIRD_SERVER_REPLY;
    // A TLS session whose server process went away can leave an earlier command's success
    // ("200") where the passive reply was awaited: the connection is out of step, not refused.
    const bool out_of_step = code == CURLE_FTP_WEIRD_PASV_REPLY && !is_refusal(last_reply);
    return out_of_step || (session_failed && !opening_data_connection(last_reply));
}

}  // namespace ordano
