// SPDX-License-Identifier: Apache-2.0
#include "office/Catalog.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace ordano {
namespace {

using StatementPtr = std::unique_ptr<SQLite::Statement>;

// Prepares on first use; resets before each reuse so bound values never leak between lookups.
SQLite::Statement& prepared(SQLite::Database& db, StatementPtr& slot, const char* sql) {
    if (!slot) {
        slot = std::make_unique<SQLite::Statement>(db, sql);
    } else {
        slot->reset();
        slot->clearBindings();
    }
    return *slot;
}

std::optional<std::string> first_text(SQLite::Statement& query) {
    if (!query.executeStep()) {
        return std::nullopt;
    }
    auto result = query.getColumn(0).getString();
    query.reset();
    return result;
}

std::optional<Catalog::TypedDescription> typed_row(SQLite::Statement& query) {
    if (!query.executeStep()) {
        return std::nullopt;
    }
    Catalog::TypedDescription row{query.getColumn(0).getString(), query.getColumn(1).getString()};
    query.reset();
    return row;
}

}  // namespace

struct Catalog::Statements {
    StatementPtr m, m_reg_campo, c, d, b, s, a, informacion;
};

Catalog::Catalog(SQLite::Database& db) : db_(db), statements_(std::make_unique<Statements>()) {}

Catalog::~Catalog() = default;

void Catalog::invalidate() {
    statements_ = std::make_unique<Statements>();
}

Catalog::ReadScope::ReadScope(Catalog& catalog) : db_(catalog.db_) {
    db_.exec("SAVEPOINT catalog_read");
}

Catalog::ReadScope::~ReadScope() {
    try {
        db_.exec("RELEASE catalog_read");
    } catch (...) {
        // Releasing a read-only savepoint cannot lose anything; never throw from here.
    }
}

std::optional<Catalog::TypedDescription> Catalog::erroresm(int tipo_error, int num_error) {
    auto& q = prepared(db_, statements_->m,
                       "SELECT tipo_errores.tipo_error, erroresm.descripcion "
                       "FROM erroresm, tipo_errores "
                       "WHERE erroresm.tipo_error=? AND erroresm.num_error=? "
                       "AND erroresm.tipo_error=tipo_errores.num_error "
                       "LIMIT 1");
    q.bind(1, tipo_error);
    q.bind(2, num_error);
    return typed_row(q);
}

std::optional<Catalog::TypedDescription> Catalog::erroresm(int tipo_error, int num_error, int reg,
                                                           int campo) {
    auto& q = prepared(db_, statements_->m_reg_campo,
                       "SELECT tipo_errores.tipo_error, erroresm.descripcion "
                       "FROM erroresm, tipo_errores "
                       "WHERE erroresm.tipo_error=? AND erroresm.num_error=? "
                       "AND reg=? AND campo=? "
                       "AND erroresm.tipo_error=tipo_errores.num_error "
                       "LIMIT 1");
    q.bind(1, tipo_error);
    q.bind(2, num_error);
    q.bind(3, reg);
    q.bind(4, campo);
    return typed_row(q);
}

std::optional<Catalog::ClassedDescription> Catalog::erroresc(int num_error) {
    auto& q = prepared(db_, statements_->c,
                       "SELECT tipo_error, descripcion FROM erroresc WHERE num_error=? "
                       "ORDER BY rowid LIMIT 1");
    q.bind(1, num_error);
    if (!q.executeStep()) {
        return std::nullopt;
    }
    ClassedDescription row{q.getColumn(0).getInt64(), q.getColumn(1).getString()};
    q.reset();
    return row;
}

std::optional<std::string> Catalog::erroresd(const std::string& tipo_error,
                                             const std::string& consecutivo, int campo) {
    // The first row in table order, found on the index alone: an ORDER BY over the two field
    // values would sort on every lookup.
    auto& q = prepared(db_, statements_->d,
                       "SELECT descripcion FROM erroresd WHERE rowid=(SELECT min(rowid) "
                       "FROM erroresd WHERE tipo_error=? COLLATE NOCASE "
                       "AND consecutivo=? COLLATE NOCASE AND campo IN (?, 0))");
    q.bind(1, tipo_error);
    q.bind(2, consecutivo);
    q.bind(3, campo);
    return first_text(q);
}

std::optional<std::string> Catalog::erroresb(int num_error) {
    auto& q = prepared(db_, statements_->b,
                       "SELECT descripcion FROM erroresb WHERE num_error=? ORDER BY rowid LIMIT 1");
    q.bind(1, num_error);
    return first_text(q);
}

std::optional<std::string> Catalog::erroress(int tipo, int codigo) {
    auto& q = prepared(db_, statements_->s,
                       "SELECT descripcion FROM erroress WHERE tipo=? AND codigo=? "
                       "ORDER BY rowid LIMIT 1");
    q.bind(1, tipo);
    q.bind(2, codigo);
    return first_text(q);
}

std::optional<std::string> Catalog::erroresa(int num_error) {
    auto& q = prepared(db_, statements_->a,
                       "SELECT descripcion FROM erroresa WHERE num_error=? ORDER BY rowid LIMIT 1");
    q.bind(1, num_error);
    return first_text(q);
}

std::optional<std::string> Catalog::informacion(int codigo) {
    auto& q = prepared(db_, statements_->informacion,
                       "SELECT texto FROM informacion WHERE codigo=? ORDER BY rowid LIMIT 1");
    q.bind(1, codigo);
    return first_text(q);
}

}  // namespace ordano
