// SPDX-License-Identifier: Apache-2.0
#include "office/Database.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

namespace ordano {
namespace {

bool held_by_another_program(const SQLite::Exception& error) {
    const int code = error.getErrorCode() & 0xFF;  // the primary code of an extended one
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

std::string held_message(const std::filesystem::path& file) {
    return "La base de datos (" + file.string() +
           ") está en uso por otro programa y no la dejó libre en " +
           std::to_string(kBusyTimeoutMs / 1000) +
           " segundos. Cierra el otro programa y vuelve a intentarlo.";
}

}  // namespace

std::unique_ptr<SQLite::Database> open_database(const std::filesystem::path& file) {
    const std::string where = " (" + file.string() + ")";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw StartupError("No se encontró la base de datos" + where +
                           ". Revisa la carpeta que indica el archivo de configuración.");
    }
    try {
        auto db = std::make_unique<SQLite::Database>(file.string(), SQLite::OPEN_READWRITE);
        db->setBusyTimeout(kBusyTimeoutMs);
        db->exec("PRAGMA foreign_keys = ON");
        // Reading the schema is what tells a database from any other file.
        (void)db->execAndGet("SELECT count(*) FROM sqlite_master").getInt();
        return db;
    } catch (const SQLite::Exception& e) {
        // A lock held elsewhere says nothing about the file itself.
        if (held_by_another_program(e)) {
            throw StartupError(held_message(file));
        }
        throw StartupError("No se pudo abrir la base de datos" + where +
                           ": el archivo no es una base de datos válida o está dañado (" +
                           e.what() + ").");
    }
}

StartupError startup_database_failure(const SQLite::Exception& error,
                                      const std::filesystem::path& file, const std::string& doing) {
    if (held_by_another_program(error)) {
        return StartupError(held_message(file));
    }
    return StartupError(doing + error.what());
}

std::optional<NumberedError> database_local_failure(const SQLite::Exception& error,
                                                    const std::filesystem::path& file) {
    switch (error.getErrorCode() & 0xFF) {
        case SQLITE_FULL:
            return NumberedError(
                error_number::kDiskFull,
                "El disco está lleno: no se pudo escribir la base de datos " + file.string());
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return NumberedError(error_number::kFileLocked, held_message(file));
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
            return NumberedError(error_number::kFileLocked,
                                 "No se tiene acceso a la base de datos " + file.string() + " (" +
                                     error.what() + ")");
        default:
            return std::nullopt;
    }
}

}  // namespace ordano
