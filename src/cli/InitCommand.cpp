// SPDX-License-Identifier: Apache-2.0
#include <charconv>
#include <fstream>
#include <iostream>

#include "base/Errors.h"
#include "cli/Commands.h"
#include "cli/StdinLine.h"
#include "office/OfficeLock.h"
#include "office/Schema.h"
#include "platform/OwnerOnly.h"

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

// The office account's password: from standard input with --ftp-password-stdin (so that it
// never shows among the process's arguments), else --ftp-password, else none.
std::string ftp_password(const ParsedArgs& options) {
    const auto given = options.value("--ftp-password");
    if (!options.has("--ftp-password-stdin")) {
        return given.value_or("");
    }
    if (given) {
        throw UsageError("--ftp-password y --ftp-password-stdin no van juntas");
    }
    auto line = read_secret_line(std::cin);
    if (!line) {
        throw UsageError(
            "--ftp-password-stdin espera la contraseña en una línea de la entrada "
            "estándar");
    }
    return std::move(*line);
}

// --tls, and the certificate file of the server's authority (--ca-file), checked and stored
// with its full path.
void tls_options(const ParsedArgs& options, OfficeSetup& setup) {
    setup.tls = options.has("--tls");
    const auto ca_file = options.value("--ca-file");
    if (!ca_file) {
        return;
    }
    if (!setup.tls) {
        throw UsageError("--ca-file va con --tls");
    }
    const fs::path path = fs::absolute(*ca_file);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        throw StartupError("No se encontró el archivo de certificados " + path.string());
    }
    setup.tls_ca = path.string();
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
    setup.ftp_password = ftp_password(options);
    tls_options(options, setup);
    setup.folders_root = db_folder;

    const fs::path ini =
        invocation.paths.ini ? *invocation.paths.ini : resolve_paths(invocation.paths).ini_file;
    const fs::path db_file = db_folder / kDatabaseFileName;
    fs::create_directories(db_folder);
    const OfficeLock lock = OfficeLock::take(db_folder, invocation.lock_holder());
    create_office_database(db_file, setup);
    write_settings_file(ini, db_folder);
    std::cout << "Base de datos creada: " << db_file.string() << "\n"
              << "Archivo de configuración: " << ini.string() << "\n";
    return kExitSuccess;
}

}  // namespace ordano::cli
