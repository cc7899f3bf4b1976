// SPDX-License-Identifier: Apache-2.0
#include "catalog/CatalogInstall.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <string>

#include "catalog/PackageInflate.h"
#include "catalog/PackageSchema.h"
#include "office/Catalog.h"
#include "office/Parameters.h"
#include "office/Schema.h"

namespace ordano {
namespace {

constexpr const char* kPackageSchema = "paquete";

// The package attached under the name "paquete" for as long as it lives. ATTACH and DETACH
// stay outside the transaction: a rollback would not undo them.
class AttachedPackage {
public:
    AttachedPackage(SQLite::Database& db, const std::filesystem::path& file) : db_(db) {
        SQLite::Statement attach(db_, std::string("ATTACH DATABASE ? AS ") + kPackageSchema);
        attach.bind(1, file.string());
        attach.exec();
    }
    ~AttachedPackage() {
        try {
            db_.exec(std::string("DETACH DATABASE ") + kPackageSchema);
        } catch (...) {
            // Only fails while a statement on the package is still open; none outlives us.
        }
    }
    AttachedPackage(const AttachedPackage&) = delete;
    AttachedPackage& operator=(const AttachedPackage&) = delete;

private:
    SQLite::Database& db_;
};

std::string name_of(const std::filesystem::path& file) {
    return file.filename().string();
}

// Every table, with the columns the lookups read, must be there before a single local table is
// dropped.
void check_package(SQLite::Database& db, const std::filesystem::path& file) {
    try {
        SQLite::Statement has_table(db, std::string("SELECT count(*) FROM ") + kPackageSchema +
                                            ".sqlite_master WHERE type='table' AND "
                                            "upper(name)=?");
        for (const auto table : kCatalogTables) {
            has_table.bind(1, std::string(table));
            has_table.executeStep();
            const bool present = has_table.getColumn(0).getInt() > 0;
            has_table.reset();
            if (!present) {
                throw PackageError("Al paquete " + name_of(file) + " le falta la tabla " +
                                   std::string(table));
            }
        }
        check_package_columns(db, kPackageSchema, name_of(file));
    } catch (const SQLite::Exception& e) {
        throw PackageError("El paquete " + name_of(file) +
                           " no contiene una base de datos válida (" + e.what() + ")");
    }
}

void copy_tables(SQLite::Database& db) {
    for (const auto table : kCatalogTables) {
        const std::string name(table);
        db.exec("DROP TABLE IF EXISTS main." + name);
        db.exec("CREATE TABLE main." + name + " AS SELECT * FROM " + kPackageSchema + "." + name);
    }
}

}  // namespace

void install_catalog(SQLite::Database& db, ParametersRecord& params, Catalog& catalog,
                     const std::filesystem::path& package_db, std::int64_t version) {
    // A file that does not exist would be created empty by ATTACH.
    if (!std::filesystem::is_regular_file(package_db)) {
        throw PackageError("No se encontró el catálogo descomprimido " + name_of(package_db));
    }
    // Prepared lookups on the old tables would keep them busy.
    catalog.invalidate();
    // Once vererr is saved inside the transaction, a rollback must also undo it in the record.
    bool version_saved = false;
    try {
        AttachedPackage attached(db, package_db);
        check_package(db, package_db);
        SQLite::Transaction transaction(db);
        copy_tables(db);
        create_catalog_indexes(db);
        params.set_number(Param::vererr, version);
        params.save();
        version_saved = true;
        transaction.commit();
    } catch (const SQLite::Exception& e) {
        if (version_saved) {
            params.reload();
        }
        // ATTACH itself refuses some files that are no database at all.
        if (e.getErrorCode() == SQLITE_NOTADB) {
            throw PackageError("El paquete " + name_of(package_db) +
                               " no contiene una base de datos válida (" + e.what() + ")");
        }
        throw;
    }
    catalog.invalidate();
}

}  // namespace ordano
