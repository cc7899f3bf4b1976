#include "store/SchemaUpgrade.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <string>
#include <vector>

namespace ordano {

namespace {

// What this version adds to the databases of earlier versions, oldest first. Add new tables
// and columns here, never by rewriting a table.
const std::vector<AddedTable> kAddedTables = {};

const std::vector<AddedColumn> kAddedColumns = {};

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

// Nests inside a transaction already open (a new office is created in one) and undoes its own
// work on any failure.
class Savepoint {
public:
    explicit Savepoint(SQLite::Database& db) : db_(db) { db_.exec("SAVEPOINT schema_upgrade"); }
    ~Savepoint() {
        if (!released_) {
            try {
                db_.exec("ROLLBACK TO schema_upgrade");
                db_.exec("RELEASE schema_upgrade");
            } catch (...) {
                // the connection is broken; nothing more can be undone from here
            }
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release() {
        db_.exec("RELEASE schema_upgrade");
        released_ = true;
    }

private:
    SQLite::Database& db_;
    bool released_ = false;
};

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
    Savepoint savepoint(db);
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
    upgrade_schema(db, kAddedTables, kAddedColumns);
}

}  // namespace ordano
