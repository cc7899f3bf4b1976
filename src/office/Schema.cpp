// SPDX-License-Identifier: Apache-2.0
#include "office/Schema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <array>
#include <fstream>
#include <string>
#include <utility>

#include "base/Errors.h"
#include "base/Scramble.h"
#include "office/ParameterColumns.h"
#include "office/SchemaUpgrade.h"
#include "platform/OwnerOnly.h"

namespace ordano {
namespace fs = std::filesystem;

namespace {

// The parameters table as the first version made it; the columns added since come with the
// schema upgrade, as they do to an older database.
std::string parameters_table_sql() {
    std::string sql = "CREATE TABLE PARAMETROS (";
    for (const ParamInfo& info : parameter_columns()) {
        if (info.since == ParamSince::First) {
            sql += std::string("\n    ") + info.column + " " + column_definition(info) + ",";
        }
    }
    sql.back() = '\n';
    return sql + ")";
}

constexpr const char* kTables = R"sql(
CREATE TABLE ACTUALIZACIONES (
    CAMPO INTEGER NOT NULL DEFAULT 0,
    VALOR TEXT NOT NULL DEFAULT '',
    FECHA TEXT
);
CREATE TABLE TIPO_ERRORES (
    NUM_ERROR INTEGER NOT NULL DEFAULT 0 CONSTRAINT tipo_errores_pk PRIMARY KEY,
    TIPO_ERROR TEXT NOT NULL DEFAULT ''
);
CREATE TABLE ERRORESM (
    NUMERO INTEGER NOT NULL DEFAULT 0,
    REG INTEGER NOT NULL DEFAULT 0,
    CAMPO INTEGER NOT NULL DEFAULT 0,
    TIPO_ERROR INTEGER NOT NULL DEFAULT 0,
    NUM_ERROR INTEGER NOT NULL DEFAULT 0,
    DESCRIPCION TEXT NOT NULL DEFAULT ''
);
CREATE TABLE ERRORESC (
    TIPO_ERROR INTEGER NOT NULL DEFAULT 0,
    NUM_ERROR INTEGER NOT NULL DEFAULT 0,
    DESCRIPCION TEXT NOT NULL DEFAULT '',
    SOLUCION TEXT
);
CREATE TABLE ERRORESD (
    REG INTEGER NOT NULL DEFAULT 0,
    CAMPO INTEGER NOT NULL DEFAULT 0,
    TIPO_ERROR TEXT NOT NULL DEFAULT '',
    CONSECUTIVO TEXT NOT NULL DEFAULT '',
    DESCRIPCION TEXT NOT NULL DEFAULT '',
    SOLUCION TEXT
);
CREATE TABLE ERRORESB (
    NUM_ERROR INTEGER NOT NULL DEFAULT 0,
    DESCRIPCION TEXT NOT NULL DEFAULT ''
);
CREATE TABLE ERRORESS (
    NUMERO INTEGER NOT NULL DEFAULT 0,
    TIPO INTEGER NOT NULL DEFAULT 0,
    CODIGO INTEGER NOT NULL DEFAULT 0,
    DESCRIPCION TEXT NOT NULL DEFAULT ''
);
CREATE TABLE ERRORESA (
    NUM_ERROR INTEGER NOT NULL DEFAULT 0,
    DESCRIPCION TEXT NOT NULL DEFAULT ''
);
CREATE TABLE INFORMACION (
    CODIGO INTEGER NOT NULL DEFAULT 0,
    TEXTO TEXT NOT NULL DEFAULT ''
);
)sql";

struct LookupIndex {
    const char* name;
    const char* table;
    const char* columns;
};

// Text columns are compared without regard to letter case, as the office's database engine
// compared them; an index serves such a comparison only with the same collation.
constexpr std::array<LookupIndex, 7> kLookupIndexes = {{
    {"ERRORESM_LOOKUP", "ERRORESM", "TIPO_ERROR, NUM_ERROR, REG, CAMPO"},
    {"ERRORESC_LOOKUP", "ERRORESC", "NUM_ERROR"},
    {"ERRORESD_NOCASE_LOOKUP", "ERRORESD",
     "TIPO_ERROR COLLATE NOCASE, CONSECUTIVO COLLATE NOCASE, CAMPO"},
    {"ERRORESB_LOOKUP", "ERRORESB", "NUM_ERROR"},
    {"ERRORESS_LOOKUP", "ERRORESS", "TIPO, CODIGO"},
    {"ERRORESA_LOOKUP", "ERRORESA", "NUM_ERROR"},
    {"INFORMACION_LOOKUP", "INFORMACION", "CODIGO"},
}};

// Indexes of earlier databases that compared texts exactly: no lookup can use them any more.
constexpr std::array<const char*, 1> kReplacedIndexes = {"ERRORESD_LOOKUP"};

bool table_exists(SQLite::Database& db, const char* table) {
    SQLite::Statement query(
        db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
    query.bind(1, table);
    return query.executeStep() && query.getColumn(0).getInt() > 0;
}

// Names printed before an SAAI M3 error description.
constexpr std::array<std::pair<int, const char*>, 9> kErrorTypes = {{
    {1, "Error de estructura"},
    {2, "Error de catálogo"},
    {3, "Error de campo"},
    {4, "Error de registro"},
    {5, "Error de cálculo"},
    {6, "Error normativo"},
    {7, "Advertencia"},
    {8, "Error de firma"},
    {9, "Error general"},
}};

void insert_error_types(SQLite::Database& db) {
    SQLite::Statement insert(db, "INSERT INTO TIPO_ERRORES (NUM_ERROR, TIPO_ERROR) VALUES (?, ?)");
    for (const auto& [number, name] : kErrorTypes) {
        insert.bind(1, number);
        insert.bind(2, name);
        insert.exec();
        insert.reset();
    }
}

struct FolderPair {
    const char* send_column;
    const char* receive_column;
    const char* name;
};

constexpr std::array<FolderPair, 4> kFolderPairs = {{
    {"val_env", "val_rec", "saai"},
    {"tra_env", "tra_rec", "cartas"},
    {"pag_env", "pag_rec", "pago"},
    {"sag_env", "sag_rec", "sagarpa"},
}};

void insert_office_row(SQLite::Database& db, const OfficeSetup& setup) {
    SQLite::Statement insert(db,
                             "INSERT INTO PARAMETROS (Patente, Agente, tipo_acceso, acc_tel, "
                             "Host_Ras, Host_Internet, Host, vererr, VerPar, PassFTP, PassBan, "
                             "kro_valin, kro_pagin, kro_sagin, kro_update, api_rec, prof_rec, "
                             "tls, tls_ca) "
                             "VALUES (?, ?, 1, 0, ?, ?, ?, 0, 0, ?, ?, "
                             "'/valin', '/pagin', '/sagarpain', '/update', ?, ?, ?, ?)");
    insert.bind(1, setup.patente);
    insert.bind(2, setup.agente);
    insert.bind(3, setup.host);
    insert.bind(4, setup.host);
    insert.bind(5, setup.host);
    insert.bind(6, scramble(setup.ftp_password));
    insert.bind(7, scramble(""));
    insert.bind(8, (setup.folders_root / "recepcion" / "api").string());
    insert.bind(9, (setup.folders_root / "recepcion" / "prof").string());
    insert.bind(10, setup.tls ? -1 : 0);
    insert.bind(11, setup.tls_ca);
    insert.exec();

    for (const auto& pair : kFolderPairs) {
        const fs::path send = setup.folders_root / "envio" / pair.name;
        const fs::path receive = setup.folders_root / "recepcion" / pair.name;
        fs::create_directories(send);
        fs::create_directories(receive);
        SQLite::Statement folders(db, std::string("UPDATE PARAMETROS SET ") + pair.send_column +
                                          "=?, " + pair.receive_column + "=?");
        folders.bind(1, send.string());
        folders.bind(2, receive.string());
        folders.exec();
    }
    fs::create_directories(setup.folders_root / "recepcion" / "api");
    fs::create_directories(setup.folders_root / "recepcion" / "prof");
}

}  // namespace

void create_schema(SQLite::Database& db) {
    SQLite::Transaction transaction(db);
    db.exec(parameters_table_sql());
    db.exec(kTables);
    insert_error_types(db);
    create_catalog_indexes(db);
    upgrade_office_schema(db);
    transaction.commit();
}

void create_catalog_indexes(SQLite::Database& db) {
    for (const char* index : kReplacedIndexes) {
        db.exec(std::string("DROP INDEX IF EXISTS ") + index);
    }
    for (const auto& index : kLookupIndexes) {
        if (table_exists(db, index.table)) {
            db.exec(std::string("CREATE INDEX IF NOT EXISTS ") + index.name + " ON " + index.table +
                    " (" + index.columns + ")");
        }
    }
}

void create_office_database(const fs::path& file, const OfficeSetup& setup) {
    std::error_code ec;
    if (fs::exists(file, ec)) {
        throw StartupError("La base de datos " + file.string() + " ya existe; no se sobrescribe.");
    }
    fs::create_directories(file.parent_path());
    try {
        // Made empty and owner-only first, so the passwords are never readable by others.
        std::ofstream(file, std::ios::binary).close();
        restrict_to_owner(file);
        SQLite::Database db(file.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        create_schema(db);
        SQLite::Transaction transaction(db);
        insert_office_row(db, setup);
        transaction.commit();
    } catch (...) {
        fs::remove(file, ec);
        throw;
    }
}

}  // namespace ordano
