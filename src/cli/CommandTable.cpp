// SPDX-License-Identifier: Apache-2.0
#include "cli/CommandTable.h"

#include <algorithm>
#include <array>

#include "cli/Commands.h"

namespace ordano::cli {
namespace {

using namespace std::string_view_literals;

constexpr std::array kGlobalOptions = {
    OptionSpec{"--ini", "", "ARCHIVO",
               "archivo de configuración de la oficina (si no, $ORDANO_INI; si no, Ordano.ini "
               "junto al programa)"},
    OptionSpec{"--root", "", "CARPETA",
               "carpeta que hace de C:\\ para los archivos de trabajo (si no, $ORDANO_ROOT)"},
    OptionSpec{"--quiet", "-q", "", "muestra solo los resultados y los errores"},
    OptionSpec{"--verbose", "-v", "",
               "muestra además cada paso FTP (orden y código de respuesta, nunca contraseñas) "
               "en la salida de errores"},
    OptionSpec{"--help", "-h", "", "muestra la ayuda y termina"},
    OptionSpec{"--version", "", "",
               "muestra la versión del programa y las de Qt, libcurl y SQLite, y termina"},
};

constexpr std::array kInitOptions = {
    OptionSpec{"--db-folder", "", "CARPETA",
               "carpeta de la base de datos Prevalida.mdb y de las carpetas de envío y "
               "recepción (obligatoria)"},
    OptionSpec{"--patente", "", "N", "patente de la oficina, de 1 a 9999 (obligatoria)"},
    OptionSpec{"--agente", "", "NOMBRE", "nombre del agente aduanal (obligatoria)"},
    OptionSpec{"--host", "", "DIRECCION",
               "dirección del servidor, con :puerto si no es el 21 (si no, 127.0.0.1)"},
    OptionSpec{"--ftp-password", "", "CLAVE",
               "contraseña de la cuenta FTP de la oficina (queda a la vista en la lista de "
               "procesos: mejor --ftp-password-stdin)"},
    OptionSpec{"--ftp-password-stdin", "", "",
               "lee la contraseña de la cuenta FTP de una línea de la entrada estándar"},
    OptionSpec{"--tls", "", "",
               "conexión cifrada (TLS): cada sesión exige TLS y comprueba el certificado del "
               "servidor"},
    OptionSpec{"--ca-file", "", "ARCHIVO",
               "con --tls, el certificado de la autoridad del servidor (si no, las del sistema)"},
};
constexpr std::array kInitExamples = {
    "ordano-cli --ini /srv/oficina/Ordano.ini init --db-folder /srv/oficina --patente 15 "
    "--agente \"NOMBRE DEL AGENTE\" --host ftp.ejemplo.mx:21 --ftp-password CLAVE"sv,
    "printf '%s\\n' \"$CLAVE\" | ordano-cli init --db-folder /srv/oficina --patente 15 "
    "--agente \"NOMBRE DEL AGENTE\" --host ftp.ejemplo.mx --tls --ftp-password-stdin"sv,
};

// What send and receive share.
constexpr OptionSpec kWait{"--wait", "", "SEGUNDOS",
                           "espera las respuestas hasta ese plazo, revisando el servidor como la "
                           "ventana, y escribe la ruta de cada respuesta guardada"};
constexpr OptionSpec kPasswordStdin{
    "--password-stdin", "", "",
    "lee la contraseña de pago electrónico de una línea de la entrada estándar"};
constexpr OptionSpec kYes{"--yes", "", "",
                          "responde Sí a las preguntas del programa (si no, se responden No)"};
constexpr OptionSpec kTransferJson{
    "--json", "", "",
    "escribe el resultado como un documento JSON: cada archivo, si se envió y por qué no, y la "
    "ruta de cada respuesta o \"missing\""};

constexpr std::array kSendOptions = {kWait, kPasswordStdin, kYes, kTransferJson};
constexpr std::array kSendExamples = {
    "ordano-cli send M0015001.123 C0015002.123"sv,
    "echo \"$CLAVE_PAGO\" | ordano-cli send --password-stdin --wait 600 --json E0015004.123"sv,
};

constexpr std::array kReceiveOptions = {
    kWait,
    kPasswordStdin,
    kYes,
    kTransferJson,
    OptionSpec{"--pending", "", "",
               "en lugar de archivos nombrados, todas las respuestas que el historial aún "
               "espera"},
};
constexpr std::array kReceiveExamples = {
    "ordano-cli receive --wait 300 M0015001.123"sv,
    "ordano-cli receive --pending --wait 600"sv,
};

constexpr OptionSpec kJournalJson{"--json", "", "",
                                  "escribe una lista JSON, un objeto por archivo, en lugar de la "
                                  "tabla"};
constexpr std::array kHistoryOptions = {
    OptionSpec{"--since", "", "AAAA-MM-DD", "solo los archivos de ese día en adelante"},
    OptionSpec{"--until", "", "AAAA-MM-DD", "solo los archivos hasta ese día"},
    OptionSpec{"--status", "", "ESTADO",
               "solo los archivos en ese estado (en envío, enviado, aceptado, error, ...)"},
    kJournalJson,
};
constexpr std::array kHistoryExamples = {
    "ordano-cli history --since 2026-12-01 --status error"sv,
    "ordano-cli history --json"sv,
};
constexpr std::array kPendingOptions = {kJournalJson};
constexpr std::array kPendingExamples = {
    "ordano-cli pending"sv,
};

constexpr std::array kReviewOptions = {
    OptionSpec{"--output", "-o", "ARCHIVO",
               "escribe el informe en ese archivo, en Windows-1252 con fin de línea CR LF, en "
               "lugar de mostrarlo"},
};
constexpr std::array kReviewExamples = {
    "ordano-cli review M0015001.err"sv,
    "ordano-cli review /srv/oficina/recepcion/saai/k0015001.123"sv,
    "ordano-cli review --output informe.txt M0015001.err"sv,
};

constexpr std::array kUpdateCatalogOptions = {
    kYes,
    OptionSpec{"--json", "", "",
               "escribe el resultado como un documento JSON (versiones antes y después, pasos, "
               "resultado)"},
};
constexpr std::array kUpdateCatalogExamples = {
    "ordano-cli update-catalog"sv,
    "ordano-cli -q update-catalog --json"sv,
};

constexpr std::array kWatchOptions = {
    OptionSpec{"--interval", "", "SEGUNDOS",
               "cada cuánto revisa las carpetas de envío y el servidor (si no, 30)"},
    OptionSpec{"--settle", "", "SEGUNDOS",
               "cuánto tiempo debe un archivo seguir sin cambios para enviarse (si no, dos "
               "intervalos y al menos 10)"},
    OptionSpec{"--password-stdin", "", "",
               "lee la contraseña de pago electrónico de una línea de la entrada estándar"},
    OptionSpec{"--password-file", "", "ARCHIVO",
               "lee la contraseña de pago electrónico de ese archivo (solo para su dueño)"},
    OptionSpec{"--once", "", "",
               "una sola vuelta: envía lo que está listo, revisa las respuestas y termina"},
    OptionSpec{"--json", "", "", "escribe cada suceso como una línea JSON"},
};
constexpr std::array kWatchExamples = {
    "ordano-cli watch --interval 60 --password-file /srv/oficina/clave-pago"sv,
    "ordano-cli watch --once --json"sv,
};

constexpr std::array<OptionSpec, 0> kNoOptions = {};
constexpr std::array kHelpExamples = {
    "ordano-cli help send"sv,
};

constexpr std::array kCommands = {
    CommandSpec{"init", "", "prepara una oficina nueva: configuración y base de datos",
                "Escribe el archivo de configuración (--ini) y crea Prevalida.mdb en la carpeta\n"
                "de la base de datos, con sus tablas, los parámetros de la oficina y las ocho\n"
                "carpetas de envío y recepción. No sobrescribe una base de datos que ya exista.",
                kInitOptions, kInitExamples, init_command},
    CommandSpec{"send", "ARCHIVO...", "envía archivos del día al servidor de validación",
                "Envía los archivos nombrados (sin carpeta: cada uno se busca en la carpeta de\n"
                "envío de su clase, sin distinguir mayúsculas) como lo hace Enviar/Recibir en la\n"
                "ventana; solo se envían los del día. Con --wait espera sus respuestas.",
                kSendOptions, kSendExamples, send_command},
    CommandSpec{"receive", "(ARCHIVO... | --pending)",
                "recibe las respuestas de archivos ya enviados",
                "La recepción manual de la ventana para archivos que ya están en el servidor:\n"
                "con --wait espera sus respuestas y las guarda en las carpetas de recepción.\n"
                "Con --pending, las de todos los archivos que el historial aún espera; sin\n"
                "--wait, una sola revisión del servidor.",
                kReceiveOptions, kReceiveExamples, receive_command},
    CommandSpec{"history", "", "muestra el historial de envíos y respuestas",
                "El recorrido de cada archivo: cuándo se envió, su estado y sus respuestas,\n"
                "con un resumen al final. Se lee junto a lo que esté corriendo en la oficina.",
                kHistoryOptions, kHistoryExamples, history_command},
    CommandSpec{"pending", "", "lista los archivos que aún esperan respuesta",
                "Los archivos enviados cuyas respuestas el historial aún espera.", kPendingOptions,
                kPendingExamples, pending_command},
    CommandSpec{"review", "RESPUESTA", "muestra el informe de una respuesta recibida",
                "Muestra el informe de una respuesta tal como lo presenta la ventana. La\n"
                "respuesta se da por su nombre (se busca en la carpeta de recepción de su clase)\n"
                "o por la ruta de cualquier archivo de respuesta.",
                kReviewOptions, kReviewExamples, review_command},
    CommandSpec{"update-catalog", "", "actualiza el catálogo de errores desde el servidor",
                "Descarga e instala el catálogo de errores más reciente del servidor, con los\n"
                "cambios de cuenta y de parámetros que el servidor publica; muestra cada paso y\n"
                "la línea de resultado.",
                kUpdateCatalogOptions, kUpdateCatalogExamples, update_catalog_command},
    CommandSpec{"watch", "", "envía sin atención cada archivo nuevo y recibe sus respuestas",
                "Vigila las carpetas de envío: cada archivo del día que aparece y deja de\n"
                "cambiar se envía, y sus respuestas se reciben, hasta que se detiene con Ctrl+C\n"
                "o SIGTERM (estado de salida 0). Cada suceso se escribe en una línea.",
                kWatchOptions, kWatchExamples, watch_command, true},
    CommandSpec{"help", "[ORDEN]", "muestra la ayuda general o la de una orden",
                "Sin orden, la ayuda general; con una orden, la de esa orden (lo mismo que\n"
                "«ordano-cli ORDEN --help»).",
                kNoOptions, kHelpExamples, help_command},
};

}  // namespace

std::span<const OptionSpec> global_options() {
    return kGlobalOptions;
}

std::span<const CommandSpec> commands() {
    return kCommands;
}

const CommandSpec* find_command(std::string_view name) {
    const auto* it = std::find_if(kCommands.begin(), kCommands.end(),
                                  [name](const CommandSpec& c) { return c.name == name; });
    return it == kCommands.end() ? nullptr : &*it;
}

}  // namespace ordano::cli
