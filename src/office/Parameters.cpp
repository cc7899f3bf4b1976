// SPDX-License-Identifier: Apache-2.0
#include "office/Parameters.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <array>

#include "base/Errors.h"

namespace ordano {
namespace {

// ACTUALIZACIONES.CAMPO 1..15 in order.
constexpr std::array kChangeCodes = {
    Param::rasoc,      Param::kro_valin,  Param::kro_valout,  Param::kro_valresp, Param::kro_pagin,
    Param::kro_pagout, Param::kro_pagin1, Param::kro_pagout1, Param::kro_sagin,   Param::kro_sagout,
    Param::kro_update, Param::PassFTP,    Param::Password,    Param::kro_apiin,   Param::kro_apiout,
};

std::size_t index_of(Param id) {
    return static_cast<std::size_t>(id);
}

bool is_text(Param id) {
    return parameter_info(id).type == ParamType::Text;
}

}  // namespace

std::optional<Param> parameter_for_change_code(int code) {
    if (code < 1 || code > static_cast<int>(kChangeCodes.size())) {
        return std::nullopt;
    }
    return kChangeCodes[static_cast<std::size_t>(code - 1)];
}

ParametersRecord::ParametersRecord(SQLite::Database& db) : db_(db) {
    load();
}

void ParametersRecord::load() {
    std::string sql = "SELECT ";
    for (const auto& column : parameter_columns()) {
        sql += std::string(column.column) + ",";
    }
    sql.back() = ' ';
    sql += "FROM PARAMETROS LIMIT 1";
    SQLite::Statement query(db_, sql);
    if (!query.executeStep()) {
        throw StartupError(
            "La tabla PARAMETROS de la base de datos no tiene su registro de "
            "parámetros.");
    }
    std::vector<Value> loaded;
    loaded.reserve(parameter_columns().size());
    for (std::size_t i = 0; i < parameter_columns().size(); ++i) {
        const auto column = query.getColumn(static_cast<int>(i));
        if (parameter_columns()[i].type == ParamType::Text) {
            loaded.emplace_back(column.isNull() ? std::string() : column.getString());
        } else {
            loaded.emplace_back(column.isNull() ? std::int64_t{0} : column.getInt64());
        }
    }
    stored_ = loaded;
    const std::lock_guard lock(values_mutex_);
    values_ = std::move(loaded);
    dirty_.clear();
}

std::string ParametersRecord::text(Param id) const {
    const std::lock_guard lock(values_mutex_);
    const auto& value = values_[index_of(id)];
    if (const auto* s = std::get_if<std::string>(&value)) {
        return *s;
    }
    return std::to_string(std::get<std::int64_t>(value));
}

std::int64_t ParametersRecord::number(Param id) const {
    const std::lock_guard lock(values_mutex_);
    const auto& value = values_[index_of(id)];
    if (const auto* n = std::get_if<std::int64_t>(&value)) {
        return *n;
    }
    throw FormatError(std::string("La columna ") + parameter_info(id).column + " no es numérica");
}

void ParametersRecord::set_text(Param id, std::string value) {
    if (!is_text(id)) {
        throw FormatError(std::string("La columna ") + parameter_info(id).column + " es numérica");
    }
    const std::lock_guard lock(values_mutex_);
    values_[index_of(id)] = std::move(value);
    if (std::find(dirty_.begin(), dirty_.end(), id) == dirty_.end()) {
        dirty_.push_back(id);
    }
}

void ParametersRecord::set_number(Param id, std::int64_t value) {
    if (is_text(id)) {
        throw FormatError(std::string("La columna ") + parameter_info(id).column + " es de texto");
    }
    const std::lock_guard lock(values_mutex_);
    values_[index_of(id)] = value;
    if (std::find(dirty_.begin(), dirty_.end(), id) == dirty_.end()) {
        dirty_.push_back(id);
    }
}

void ParametersRecord::save() {
    if (dirty_.empty()) {
        return;
    }
    std::string sql = "UPDATE PARAMETROS SET ";
    for (Param id : dirty_) {
        sql += std::string(parameter_info(id).column) + "=?,";
    }
    sql.back() = ' ';
    // The table holds one row; update exactly that one.
    sql += "WHERE rowid=(SELECT rowid FROM PARAMETROS LIMIT 1)";
    std::vector<Value> saving;
    {
        const std::lock_guard lock(values_mutex_);
        saving = values_;
    }
    try {
        SQLite::Statement update(db_, sql);
        int position = 1;
        for (Param id : dirty_) {
            std::visit([&](const auto& v) { update.bind(position, v); }, saving[index_of(id)]);
            ++position;
        }
        update.exec();
    } catch (...) {
        const std::lock_guard lock(values_mutex_);
        values_ = stored_;
        dirty_.clear();
        throw;
    }
    stored_ = std::move(saving);
    const auto saved = std::move(dirty_);
    dirty_.clear();
    for (Param id : saved) {
        notify(id);
    }
}

void ParametersRecord::reload() {
    load();
    for (const auto& column : parameter_columns()) {
        notify(column.id);
    }
}

void ParametersRecord::notify(Param id) const {
    for (const auto& listener : listeners_) {
        listener(id);
    }
}

}  // namespace ordano
