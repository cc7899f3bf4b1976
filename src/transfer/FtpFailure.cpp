#include "transfer/FtpFailure.h"

#include <string>
#include <utility>

namespace ordano {
namespace {

int number_for(CURLcode code, const FtpFailureContext& context) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            return ftp_error::kUnreachable;
        case CURLE_OPERATION_TIMEDOUT:
            return context.reached_server ? ftp_error::kNoAnswer : ftp_error::kUnreachable;
        case CURLE_LOGIN_DENIED:
            return ftp_error::kLoginRefused;
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

std::string describe(int number, CURLcode code, const FtpFailureContext& context) {
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
        case ftp_error::kSessionBroken:
            if (context.cancelled) {
                return "Se canceló la transferencia de " + path;
            }
            return "Se interrumpió la sesión con el servidor " + server +
                   (path.empty() ? std::string() : " durante la transferencia de " + path);
        default:
            return context.curl_detail.empty() ? std::string(curl_easy_strerror(code))
                                               : std::string(context.curl_detail);
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

std::string details(int number, CURLcode code, const FtpFailureContext& context) {
    const auto [address, port] = address_and_port(context.server);
    std::string text = "Servidor: " + address + ", puerto " + port + "\n";
    text += "Usuario: " + std::string(context.user) + "\n";
    text += "Paso: " + std::string(context.step) + "\n";
    text += "Error No. " + std::to_string(number) + "\n";
    if (context.server_reply > 0) {
        text += "Última respuesta del servidor: " + std::to_string(context.server_reply) + "\n";
    }
    const std::string_view library = curl_easy_strerror(code);
    text += "Causa según la biblioteca FTP (libcurl): ";
    text += library;
    if (!context.curl_detail.empty() && context.curl_detail != library) {
        text += ". ";
        text += context.curl_detail;
    }
    return text;
}

}  // namespace

FtpError ftp_failure(CURLcode code, const FtpFailureContext& context) {
    const int number = context.cancelled ? ftp_error::kSessionBroken : number_for(code, context);
    return FtpError(number, describe(number, code, context), details(number, code, context));
}

bool looks_like_dropped_session(CURLcode code) {
    return code == CURLE_OPERATION_TIMEDOUT || code == CURLE_SEND_ERROR ||
           code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING ||
           code == CURLE_WEIRD_SERVER_REPLY;
}

}  // namespace ordano
