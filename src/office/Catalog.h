// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace SQLite {
class Database;
class Statement;
}  // namespace SQLite

namespace ordano {

// Typed lookups in the error catalogue and bulletin texts. Only the first row of a lookup
// counts; no row is not an error. Statements are prepared on first use and reused, so a
// report of 100,000 records makes 100,000 cheap lookups. After the catalogue tables are
// replaced, call invalidate() so the next lookup prepares against the new tables.
class Catalog {
public:
    explicit Catalog(SQLite::Database& db);
    ~Catalog();
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    struct TypedDescription {
        std::string type_name;    // TIPO_ERRORES.TIPO_ERROR (read as Nombre_te)
        std::string description;  // ERRORESM.DESCRIPCION
    };
    // ERRORESM joined with TIPO_ERRORES, by type and number.
    [[nodiscard]] std::optional<TypedDescription> erroresm(int tipo_error, int num_error);
    // The same, also by record and field (error types 3, 4 and 6).
    [[nodiscard]] std::optional<TypedDescription> erroresm(int tipo_error, int num_error, int reg,
                                                           int campo);

    struct ClassedDescription {
        long long tipo_error = 0;  // 1, 2 or 3
        std::string description;
    };
    [[nodiscard]] std::optional<ClassedDescription> erroresc(int num_error);

    // TIPO_ERROR and CONSECUTIVO compared as text without regard to letter case, as the
    // office's database engine compared texts; CAMPO equal to the field or 0.
    [[nodiscard]] std::optional<std::string> erroresd(const std::string& tipo_error,
                                                      const std::string& consecutivo, int campo);
    [[nodiscard]] std::optional<std::string> erroresb(int num_error);
    [[nodiscard]] std::optional<std::string> erroress(int tipo, int codigo);
    [[nodiscard]] std::optional<std::string> erroresa(int num_error);
    [[nodiscard]] std::optional<std::string> informacion(int codigo);

    void invalidate();

    // Holds one read transaction while many lookups run (a whole report): without it every
    // lookup takes and drops the database file's lock, which costs ten times the lookup.
    class ReadScope {
    public:
        explicit ReadScope(Catalog& catalog);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        SQLite::Database& db_;
    };

private:
    struct Statements;
    SQLite::Database& db_;
    std::unique_ptr<Statements> statements_;
};

}  // namespace ordano
