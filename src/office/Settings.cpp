// SPDX-License-Identifier: Apache-2.0
#include "office/Settings.h"

#include <cstdlib>
#include <fstream>

#include "base/Errors.h"
#include "office/WorkingFiles.h"
#include "platform/DriveRoot.h"
#include "platform/ProcessId.h"

namespace ordano {
namespace fs = std::filesystem;

namespace {

std::optional<fs::path> from_environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return fs::path(value);
}

fs::path default_settings_file(const PathOptions& options) {
    fs::path beside = options.executable_dir / kSettingsFileName;
    std::error_code error;
    if (!options.machine_settings || fs::exists(beside, error)) {
        return beside;
    }
    return *options.machine_settings / kSettingsFileName;
}

}  // namespace

Paths resolve_paths(const PathOptions& options) {
    Paths paths;
    paths.ini_file = options.ini
                         ? *options.ini
                         : from_environment("ORDANO_INI").value_or(default_settings_file(options));
    paths.drive_root = options.root
                           ? *options.root
                           : from_environment("ORDANO_ROOT").value_or(default_drive_root());
    paths.work_folder =
        paths.drive_root / kWorkFolderName / process_folder_name(current_process_id());
    return paths;
}

std::string read_database_folder(const fs::path& ini_file) {
    const std::string where = " (" + ini_file.string() + ")";
    std::ifstream in(ini_file, std::ios::binary);
    if (!in) {
        throw StartupError("No se encontró el archivo de configuración" + where +
                           ". El archivo indica la carpeta de la base de datos.");
    }
    std::string line;
    if (!std::getline(in, line) && line.empty()) {
        throw StartupError("El archivo de configuración está vacío" + where + ".");
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() < 8) {
        throw StartupError("La primera línea del archivo de configuración" + where +
                           " es demasiado corta: debe tener la clave de 8 caracteres seguida de "
                           "la carpeta de la base de datos.");
    }
    return line.substr(8);
}

fs::path database_file(const std::string& folder) {
    // An empty folder gives the root of the current drive, as "\Prevalida.mdb" did.
    if (folder.empty()) {
        return fs::current_path().root_path() / kDatabaseFileName;
    }
    return fs::path(folder) / kDatabaseFileName;
}

}  // namespace ordano
