// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace SQLite {
class Database;
}

namespace ordano {

// Checks that every table of a catalogue package attached as `schema` has each column the
// catalogue lookups read, declared with a usable kind: a number column (lookup keys, the class
// of a "C" error) with a numeric type (INTEGER, BYTE, LONG, REAL, ...), a text column
// (descriptions, the text keys of ERRORESD) with a text type (TEXT(n), VARCHAR, CHAR, ...).
// Kinds follow the engine's own rules for declared types. Throws PackageError naming the
// package, the table and the column.
void check_package_columns(SQLite::Database& db, std::string_view schema,
                           const std::string& package_name);

}  // namespace ordano
