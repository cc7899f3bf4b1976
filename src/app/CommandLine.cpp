// SPDX-License-Identifier: Apache-2.0
#include "app/CommandLine.h"

namespace ordano {

namespace fs = std::filesystem;

namespace {

fs::path to_path(const QString& text) {
    return fs::path(text.toStdU16String());
}

std::optional<fs::path>* value_target(GuiOptions& options, const QString& name) {
    if (name == QLatin1String("--ini")) {
        return &options.paths.ini;
    }
    if (name == QLatin1String("--root")) {
        return &options.paths.root;
    }
    if (name == QLatin1String("--screenshot")) {
        return &options.screenshot;
    }
    return nullptr;
}

std::optional<GuiOptions::Request> request_of(const QString& name) {
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        return GuiOptions::Request::Help;
    }
    if (name == QLatin1String("--version")) {
        return GuiOptions::Request::Version;
    }
    return std::nullopt;
}

}  // namespace

std::string usage_text() {
    return "uso: ordano [--ini ARCHIVO] [--root CARPETA] [--screenshot ARCHIVO.png] [--dark]\n"
           "Más información: «ordano --help».";
}

std::string help_text() {
    return "Uso: ordano [OPCIONES]\n\n"
           "El programa de escritorio de Ordano: envía los archivos del día al servidor de\n"
           "validación, recibe sus respuestas y las muestra como informes.\n\n"
           "Opciones:\n"
           "      --ini ARCHIVO         archivo de configuración de la oficina (si no,\n"
           "                            $ORDANO_INI; si no, Ordano.ini junto al programa)\n"
           "      --root CARPETA        carpeta que hace de C:\\ para los archivos de trabajo\n"
           "                            (si no, $ORDANO_ROOT)\n"
           "      --screenshot ARCHIVO.png\n"
           "                            arranca como siempre, guarda la imagen de la ventana\n"
           "                            principal en ese archivo y termina\n"
           "      --dark                las ventanas con una paleta oscura, sea cual sea el\n"
           "                            tema del escritorio\n"
           "  -h, --help                muestra esta ayuda y termina\n"
           "      --version             muestra la versión del programa y las de Qt, libcurl\n"
           "                            y SQLite, y termina\n\n"
           "Las opciones con valor se escriben --opción VALOR o --opción=VALOR.\n"
           "Estado de salida: 0 al cerrar el programa, 1 si la oficina no se pudo abrir,\n"
           "2 si la línea de órdenes está mal.\n\n"
           "Ejemplos:\n"
           "  ordano\n"
           "  ordano --ini /srv/oficina/Ordano.ini\n\n"
           "Sin ventana, para guiones: ordano-cli(1). Manual: ordano(1).\n";
}

std::variant<GuiOptions, UsageProblem> parse_command_line(const QStringList& arguments,
                                                          const fs::path& executable_dir) {
    GuiOptions options;
    options.paths.executable_dir = executable_dir;
    bool options_ended = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (options_ended || !arg.startsWith(QLatin1Char('-'))) {
            return UsageProblem{"argumento de más: " + arg.toStdString()};
        }
        if (arg == QLatin1String("--")) {
            options_ended = true;
            continue;
        }
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? arg : arg.left(equals);
        if (name == QLatin1String("--dark")) {
            if (equals >= 0) {
                return UsageProblem{"la opción --dark no lleva valor"};
            }
            options.dark = true;
            continue;
        }
        if (const auto request = request_of(name)) {
            if (equals >= 0) {
                return UsageProblem{"la opción " + name.toStdString() + " no lleva valor"};
            }
            options.request = *request;
            continue;
        }
        std::optional<fs::path>* target = value_target(options, name);
        if (target == nullptr) {
            return UsageProblem{"opción desconocida: " + name.toStdString()};
        }
        QString value;
        if (equals >= 0) {
            value = arg.mid(equals + 1);
        } else if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--"))) {
            value = arguments[++i];
        }
        if (value.isEmpty()) {
            return UsageProblem{"falta el valor de " + name.toStdString()};
        }
        *target = to_path(value);
    }
    return options;
}

}  // namespace ordano
