// SPDX-License-Identifier: Apache-2.0
#include "catalog/PackageSchema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

#include "catalog/PackageInflate.h"

namespace ordano {
namespace {

enum class Kind { Number, Text };

struct Column {
    std::string_view name;
    Kind kind;
};

struct TableColumns {
    std::string_view table;
    std::array<Column, 5> columns;  // unused slots have an empty name
};

// What the lookups of the review and the bulletin read from each replaced table.
constexpr std::array<TableColumns, 7> kReadColumns = {{
    {"ERRORESM",
     {{{"TIPO_ERROR", Kind::Number},
       {"NUM_ERROR", Kind::Number},
       {"REG", Kind::Number},
       {"CAMPO", Kind::Number},
       {"DESCRIPCION", Kind::Text}}}},
    {"ERRORESB", {{{"NUM_ERROR", Kind::Number}, {"DESCRIPCION", Kind::Text}}}},
    {"ERRORESS", {{{"TIPO", Kind::Number}, {"CODIGO", Kind::Number}, {"DESCRIPCION", Kind::Text}}}},
    {"ERRORESA", {{{"NUM_ERROR", Kind::Number}, {"DESCRIPCION", Kind::Text}}}},
    {"ERRORESC",
     {{{"TIPO_ERROR", Kind::Number}, {"NUM_ERROR", Kind::Number}, {"DESCRIPCION", Kind::Text}}}},
    {"ERRORESD",
     {{{"TIPO_ERROR", Kind::Text},
       {"CONSECUTIVO", Kind::Text},
       {"CAMPO", Kind::Number},
       {"DESCRIPCION", Kind::Text}}}},
    {"INFORMACION", {{{"CODIGO", Kind::Number}, {"TEXTO", Kind::Text}}}},
}};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// The engine's affinity rules for a declared type: a text column keeps texts as they are
// ("007" stays "007"); a numeric one holds the numbers that the lookups compare. A column
// declared without a type (or as BLOB) keeps each value as it was written, so a key written as
// text would never match the number looked up.
std::optional<Kind> kind_of(const std::string& declared_type) {
    const std::string type = upper(declared_type);
    if (contains(type, "INT")) {
        return Kind::Number;
    }
    if (contains(type, "CHAR") || contains(type, "CLOB") || contains(type, "TEXT")) {
        return Kind::Text;
    }
    if (type.empty() || contains(type, "BLOB")) {
        return std::nullopt;
    }
    return Kind::Number;  // REAL, FLOAT, DOUBLE, NUMERIC and any other name
}

// Upper-cased column name -> declared type of one table of the package.
std::map<std::string, std::string> declared_columns(SQLite::Database& db, std::string_view schema,
                                                    std::string_view table) {
    SQLite::Statement info(db, "SELECT name, type FROM pragma_table_info(?, ?)");
    info.bind(1, std::string(table));
    info.bind(2, std::string(schema));
    std::map<std::string, std::string> columns;
    while (info.executeStep()) {
        columns.emplace(upper(info.getColumn(0).getString()), info.getColumn(1).getString());
    }
    return columns;
}

}  // namespace

void check_package_columns(SQLite::Database& db, std::string_view schema,
                           const std::string& package_name) {
    for (const auto& [table, columns] : kReadColumns) {
        const auto declared = declared_columns(db, schema, table);
        for (const auto& [name, kind] : columns) {
            if (name.empty()) {
                continue;
            }
            const std::string where =
                " " + std::string(name) + " de la tabla " + std::string(table);
            const auto found = declared.find(std::string(name));
            if (found == declared.end()) {
                throw PackageError("Al paquete " + package_name + " le falta la columna" + where);
            }
            if (kind_of(found->second) != kind) {
                throw PackageError("En el paquete " + package_name + " la columna" + where +
                                   " no es de " + (kind == Kind::Number ? "números" : "texto") +
                                   " (tipo \"" + found->second + "\")");
            }
        }
    }
}

}  // namespace ordano
