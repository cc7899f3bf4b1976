// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <span>
#include <string>

namespace SQLite {
class Database;
}

namespace ordano {

// A table that later versions of the program added: its name and the statements that create it
// (its indexes too).
struct AddedTable {
    const char* name;
    const char* create_sql;
};

// A column that later versions added to an existing table, with its definition ("INTEGER NOT
// NULL DEFAULT 0"); the rows already there get the default.
struct AddedColumn {
    const char* table;
    const char* column;
    std::string definition;
};

// Adds every listed table and column that the database lacks, as one unit, and touches nothing
// else: an office's data is never rewritten, and a database that has everything is not written
// at all. Tables and columns that the database has beyond the lists are left alone.
// Throws SQLite::Exception when the database cannot be changed.
void upgrade_schema(SQLite::Database& db, std::span<const AddedTable> tables,
                    std::span<const AddedColumn> columns);

// upgrade_schema with what this version adds to an office database. Run at start-up, before
// anything reads the database, and by the creation of a new office.
void upgrade_office_schema(SQLite::Database& db);

}  // namespace ordano
