#include "app/CommandLine.h"

namespace ordano {

namespace fs = std::filesystem;

namespace {

fs::path to_path(const QString& text) {
    return fs::path(text.toStdU16String());
}

}  // namespace

std::string usage_text() {
    return "uso: ordano [--ini ARCHIVO] [--root CARPETA] [--screenshot ARCHIVO.png] [--dark]";
}

std::variant<GuiOptions, UsageProblem> parse_command_line(const QStringList& arguments,
                                                          const fs::path& executable_dir) {
    GuiOptions options;
    options.paths.executable_dir = executable_dir;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        std::optional<fs::path>* target = nullptr;
        if (name == QLatin1String("--dark")) {
            options.dark = true;
            continue;
        }
        if (name == QLatin1String("--ini")) {
            target = &options.paths.ini;
        } else if (name == QLatin1String("--root")) {
            target = &options.paths.root;
        } else if (name == QLatin1String("--screenshot")) {
            target = &options.screenshot;
        } else {
            return UsageProblem{"opción desconocida: " + name.toStdString()};
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
            return UsageProblem{"falta el valor de " + name.toStdString()};
        }
        *target = to_path(arguments[++i]);
    }
    return options;
}

}  // namespace ordano
