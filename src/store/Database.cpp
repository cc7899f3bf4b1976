#include "store/Database.h"

#include <SQLiteCpp/Database.h>

#include "store/Errors.h"

namespace ordano {

std::unique_ptr<SQLite::Database> open_database(const std::filesystem::path& file) {
    const std::string where = " (" + file.string() + ")";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw StartupError("No se encontró la base de datos" + where +
                           ". Revisa la carpeta que indica el archivo de configuración.");
    }
    try {
        auto db = std::make_unique<SQLite::Database>(file.string(), SQLite::OPEN_READWRITE);
        db->setBusyTimeout(5000);
        db->exec("PRAGMA foreign_keys = ON");
        // Reading the schema is what tells a database from any other file.
        (void)db->execAndGet("SELECT count(*) FROM sqlite_master").getInt();
        return db;
    } catch (const SQLite::Exception& e) {
        throw StartupError("No se pudo abrir la base de datos" + where +
                           ": el archivo no es una base de datos válida o está dañado (" +
                           e.what() + ").");
    }
}

}  // namespace ordano
