// SPDX-License-Identifier: Apache-2.0
#include "office/SchemaUpgrade.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <string>
#include <vector>

#include "office/NestedSavepoint.h"
#include "office/ParameterColumns.h"

namespace ordano {

namespace {

// What this version adds to the databases of earlier versions, oldest first. Add new tables
// here and new PARAMETROS columns to their declarations, never by rewriting a table.
const std::vector<AddedTable> kAddedTables = {
    // The transfer journal: one row per file put on a send list and sent (sending a name again
    // makes a new row), with its answers; and the failures met on the way. Times are local ISO
    // 8601 texts ("2026-02-02T14:05:00"); `momento` is the time the history shows and sorts by
    // (put on the list, then handed to reception or sent).
    {"BITACORA", R"sql(
CREATE TABLE BITACORA (
    id INTEGER PRIMARY KEY,
    archivo TEXT NOT NULL DEFAULT '',
    tipo TEXT NOT NULL DEFAULT '',
    ruta_local TEXT NOT NULL DEFAULT '',
    icono TEXT NOT NULL DEFAULT '',
    ruta_pre TEXT NOT NULL DEFAULT '',
    ruta_val TEXT NOT NULL DEFAULT '',
    estado TEXT NOT NULL DEFAULT 'en envío',
    pendiente INTEGER NOT NULL DEFAULT 0,
    esperando INTEGER NOT NULL DEFAULT 0,
    momento TEXT NOT NULL DEFAULT '',
    en_lista TEXT,
    envio_inicio TEXT,
    enviado TEXT,
    carpeta_remota TEXT,
    tamano INTEGER,
    sha256 TEXT,
    espera_desde TEXT,
    prev_archivo TEXT NOT NULL DEFAULT '',
    prev_carpeta TEXT NOT NULL DEFAULT '',
    prev_llegada TEXT,
    prev_ruta TEXT,
    val_archivo TEXT NOT NULL DEFAULT '',
    val_carpeta TEXT NOT NULL DEFAULT '',
    val_destino TEXT NOT NULL DEFAULT '',
    val_llegada TEXT,
    val_ruta TEXT,
    via_envio TEXT,
    sin_confirmar INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX BITACORA_MOMENTO ON BITACORA (momento);
CREATE INDEX BITACORA_ARCHIVO ON BITACORA (archivo, momento);
CREATE INDEX BITACORA_ESPERANDO ON BITACORA (esperando);
CREATE INDEX BITACORA_PENDIENTE ON BITACORA (pendiente);
)sql"},
    {"BITACORA_FALLAS", R"sql(
CREATE TABLE BITACORA_FALLAS (
    id INTEGER PRIMARY KEY,
    entrada INTEGER NOT NULL DEFAULT 0,
    momento TEXT NOT NULL DEFAULT '',
    numero INTEGER NOT NULL DEFAULT 0,
    texto TEXT NOT NULL DEFAULT ''
);
CREATE INDEX BITACORA_FALLAS_ENTRADA ON BITACORA_FALLAS (entrada);
)sql"},
    // The batches of journal writes that a program kept in a file beside the database while
    // the database refused them, each named once its writes are in: a batch is written once,
    // even when a program ends between writing it and removing its file.
    {"BITACORA_LOTES", R"sql(
CREATE TABLE BITACORA_LOTES (
    lote TEXT PRIMARY KEY,
    momento TEXT NOT NULL DEFAULT ''
);
)sql"},
};

// The columns a later version added to PARAMETROS, as their declarations state them, and to
// a journal made before them (a new one has them from the start): which way an upload reached
// its name ("renombrado", "directo", "ya en el servidor"), and whether the server must be asked
// what it holds of an upload whose end was never confirmed.
std::vector<AddedColumn> added_columns() {
    std::vector<AddedColumn> columns = {
        {"BITACORA", "via_envio", "TEXT"},
        {"BITACORA", "sin_confirmar", "INTEGER NOT NULL DEFAULT 0"},
    };
    for (const ParamInfo& info : parameter_columns()) {
        if (info.since == ParamSince::Later) {
            columns.push_back({"PARAMETROS", info.column, column_definition(info)});
        }
    }
    return columns;
}

bool has_table(SQLite::Database& db, const char* table) {
    SQLite::Statement query(db,
                            "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? "
                            "COLLATE NOCASE");
    query.bind(1, table);
    return query.executeStep();
}

bool has_column(SQLite::Database& db, const char* table, const char* column) {
    SQLite::Statement query(db, "SELECT 1 FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE");
    query.bind(1, table);
    query.bind(2, column);
    return query.executeStep();
}

// Identifiers come from the lists above, never from outside; quoting keeps odd names whole.
std::string quoted(const char* name) {
    return std::string("\"") + name + "\"";
}

}  // namespace

void upgrade_schema(SQLite::Database& db, std::span<const AddedTable> tables,
                    std::span<const AddedColumn> columns) {
    std::vector<const AddedTable*> missing_tables;
    for (const AddedTable& table : tables) {
        if (!has_table(db, table.name)) {
            missing_tables.push_back(&table);
        }
    }
    std::vector<const AddedColumn*> missing_columns;
    for (const AddedColumn& column : columns) {
        if (has_table(db, column.table) && !has_column(db, column.table, column.column)) {
            missing_columns.push_back(&column);
        }
    }
    if (missing_tables.empty() && missing_columns.empty()) {
        return;
    }
    // Nests inside a transaction already open (a new office is created in one).
    NestedSavepoint savepoint(db, "schema_upgrade");
    for (const AddedTable* table : missing_tables) {
        db.exec(table->create_sql);
    }
    for (const AddedColumn* column : missing_columns) {
        db.exec("ALTER TABLE " + quoted(column->table) + " ADD COLUMN " + quoted(column->column) +
                " " + column->definition);
    }
    savepoint.release();
}

void upgrade_office_schema(SQLite::Database& db) {
    upgrade_schema(db, kAddedTables, added_columns());
}

}  // namespace ordano
