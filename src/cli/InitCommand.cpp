#include <charconv>
#include <fstream>
#include <iostream>

#include "cli/Commands.h"
#include "platform/OwnerOnly.h"
#include "store/Errors.h"
#include "store/Schema.h"

namespace ordano::cli {
namespace fs = std::filesystem;

namespace {

int parse_patente(const std::string& text) {
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < 1 || value > 9999) {
        throw UsageError("la patente debe ser un número de 1 a 9999: " + text);
    }
    return value;
}

void write_settings_file(const fs::path& ini, const fs::path& db_folder) {
    if (!ini.parent_path().empty()) {
        fs::create_directories(ini.parent_path());
    }
    std::ofstream out(ini, std::ios::binary | std::ios::trunc);
    restrict_to_owner(ini);
    // Characters 1 to 8 are a fixed key; the database folder follows.
    out << "RutaBD: " << db_folder.string() << "\r\n";
    if (!out.flush()) {
        throw StartupError("No se pudo escribir el archivo de configuración " + ini.string());
    }
}

}  // namespace

int init_command(const Invocation& invocation) {
    const ParsedArgs& options = invocation.args;
    reject_operands(options);
    const fs::path db_folder = fs::absolute(options.required("--db-folder"));
    OfficeSetup setup;
    setup.patente = parse_patente(options.required("--patente"));
    setup.agente = options.required("--agente");
    setup.host = options.value("--host").value_or("127.0.0.1");
    setup.ftp_password = options.value("--ftp-password").value_or("");
    setup.folders_root = db_folder;

    const fs::path ini =
        invocation.paths.ini ? *invocation.paths.ini : resolve_paths(invocation.paths).ini_file;
    const fs::path db_file = db_folder / kDatabaseFileName;
    create_office_database(db_file, setup);
    write_settings_file(ini, db_folder);
    std::cout << "Base de datos creada: " << db_file.string() << "\n"
              << "Archivo de configuración: " << ini.string() << "\n";
    return kExitSuccess;
}

}  // namespace ordano::cli
