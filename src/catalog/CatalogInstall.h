// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace SQLite {
class Database;
}

namespace ordano {

class Catalog;
class ParametersRecord;

// The tables a catalogue installation replaces, in the order it replaces them. TIPO_ERRORES is
// not among them: it changes only with the installed database.
inline constexpr std::array<std::string_view, 7> kCatalogTables = {
    "ERRORESM", "ERRORESB", "ERRORESS", "ERRORESA", "ERRORESC", "ERRORESD", "INFORMACION"};

// Replaces the seven catalogue tables with those of the unpacked package `package_db` and
// stores `version` into vererr, all as one unit: either every table holds the package's rows
// and vererr the new version, or nothing has changed. A local table that is missing is simply
// created by the copy. The lookup indexes are made again and the catalogue's prepared lookups
// dropped. Throws PackageError when the file is not a database, lacks one of the seven tables
// or a column the lookups read (before anything is touched), or the database's own error
// otherwise.
void install_catalog(SQLite::Database& db, ParametersRecord& params, Catalog& catalog,
                     const std::filesystem::path& package_db, std::int64_t version);

}  // namespace ordano
