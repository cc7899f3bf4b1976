// SPDX-License-Identifier: Apache-2.0
#include "transfer/CurlCauses.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace ordano {

namespace {

constexpr std::array<std::pair<CURLcode, std::string_view>, 34> kCauses = {{
    {CURLE_UNSUPPORTED_PROTOCOL, "la dirección no es de un servidor FTP"},
    {CURLE_FAILED_INIT, "no se pudo preparar la conexión en este equipo"},
    {CURLE_URL_MALFORMAT, "la dirección del servidor no está bien escrita"},
    {CURLE_COULDNT_RESOLVE_PROXY, "no se encontró el servidor intermedio (proxy) por su nombre"},
    {CURLE_COULDNT_RESOLVE_HOST, "no se encontró el servidor por su nombre"},
    {CURLE_COULDNT_CONNECT, "no se pudo conectar con el servidor"},
    {CURLE_WEIRD_SERVER_REPLY, "el servidor respondió algo que no se esperaba"},
    {CURLE_REMOTE_ACCESS_DENIED, "el servidor negó el acceso a la carpeta o al archivo"},
    {CURLE_FTP_WEIRD_PASS_REPLY, "el servidor respondió algo inesperado a la contraseña"},
    {CURLE_FTP_WEIRD_PASV_REPLY,
     "el servidor respondió algo inesperado al abrir la conexión de datos"},
    {CURLE_FTP_WEIRD_227_FORMAT, "el servidor dio una dirección de datos que no se entiende"},
    {CURLE_FTP_CANT_GET_HOST, "no se pudo usar la dirección de datos que dio el servidor"},
    {CURLE_FTP_COULDNT_SET_TYPE, "el servidor no aceptó el modo de transferencia"},
    {CURLE_PARTIAL_FILE, "el archivo llegó incompleto"},
    {CURLE_FTP_COULDNT_RETR_FILE, "el servidor no entregó el archivo"},
    {CURLE_QUOTE_ERROR, "el servidor rechazó una orden"},
    {CURLE_WRITE_ERROR, "no se pudo escribir en este equipo lo recibido"},
    {CURLE_UPLOAD_FAILED, "el servidor no aceptó el archivo enviado"},
    {CURLE_READ_ERROR, "no se pudo leer en este equipo el archivo a enviar"},
    {CURLE_OUT_OF_MEMORY, "este equipo se quedó sin memoria"},
    {CURLE_OPERATION_TIMEDOUT, "se agotó el tiempo de espera de una respuesta"},
    {CURLE_FTP_PORT_FAILED, "el servidor no aceptó la conexión de datos"},
    {CURLE_RANGE_ERROR, "el servidor no puede continuar una transferencia a medias"},
    {CURLE_SSL_CONNECT_ERROR, "falló el inicio de la conexión cifrada"},
    {CURLE_ABORTED_BY_CALLBACK, "la transferencia se canceló"},
    {CURLE_GOT_NOTHING, "el servidor cerró la conexión sin responder"},
    {CURLE_SEND_ERROR, "se cortó la conexión al enviar datos"},
    {CURLE_RECV_ERROR, "se cortó la conexión al recibir datos"},
    {CURLE_PEER_FAILED_VERIFICATION, "el certificado del servidor no es de confianza"},
    {CURLE_SSL_CACERT_BADFILE, "no se pudo leer el archivo de autoridades de confianza"},
    {CURLE_USE_SSL_FAILED, "el servidor no ofrece conexión cifrada"},
    {CURLE_LOGIN_DENIED, "el servidor rechazó el usuario o la contraseña"},
    {CURLE_REMOTE_FILE_NOT_FOUND, "el archivo no está en el servidor"},
    {CURLE_AGAIN, "el servidor no estaba listo; hay que volver a intentarlo"},
}};

}  // namespace

std::string curl_cause(CURLcode code) {
    const auto* found =
        std::ranges::find(kCauses, code, &std::pair<CURLcode, std::string_view>::first);
    std::string text(found != kCauses.end() ? found->second
                                            : std::string_view("falla de la biblioteca FTP"));
    text[0] = static_cast<char>(text[0] - 'a' + 'A');  // every cause starts in lower case
    return text + " (código de libcurl " + std::to_string(static_cast<int>(code)) + ")";
}

}  // namespace ordano
