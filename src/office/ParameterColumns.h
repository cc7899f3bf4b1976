// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace ordano {

// Every column of the one PARAMETROS row that the program reads or writes, in the table's order.
enum class Param {
    Patente,
    Agente,
    rasoc,
    tipo_acceso,
    acc_tel,
    Host_Ras,
    Host_Internet,
    Host,
    proxy,
    ip_proxy,
    telefono,
    val_env,
    val_rec,
    tra_env,
    tra_rec,
    pag_env,
    pag_rec,
    sag_env,
    sag_rec,
    api_rec,
    prof_rec,
    vererr,
    VerPar,
    PassFTP,
    Password,
    PassBan,
    kro_valin,
    kro_valout,
    kro_valresp,
    kro_pagin,
    kro_pagout,
    kro_pagin1,
    kro_pagout1,
    kro_sagin,
    kro_sagout,
    kro_update,
    kro_apiin,
    kro_apiout,
    min_atraso,
    tls,
    tls_ca,
    sesiones_ftp,
};

// Booleans are numbers stored as -1 (true) and 0 (false).
enum class ParamType { Text, Integer, Boolean };

// The values a number may hold; a stored value outside them reads as the column's default.
struct ParamBounds {
    std::int64_t min;
    std::int64_t max;
};

// Whether the first version's table has the column or a later version added it (at start-up,
// to the databases of earlier versions, in the order declared).
enum class ParamSince { First, Later };

// One column, declared once: its name, type, default and bounds. A text column defaults to the
// empty text (SQL "TEXT DEFAULT ''"), a number to `default_number` ("INTEGER NOT NULL DEFAULT").
struct ParamInfo {
    Param id;
    const char* column;
    ParamType type;
    std::int64_t default_number = 0;
    std::optional<ParamBounds> bounds = std::nullopt;
    ParamSince since = ParamSince::First;
};

namespace parameter_columns_detail {
using enum Param;
constexpr ParamType kText = ParamType::Text;
constexpr ParamType kInteger = ParamType::Integer;
constexpr ParamType kBoolean = ParamType::Boolean;
constexpr ParamSince kLater = ParamSince::Later;

inline constexpr std::array kColumns = {
    ParamInfo{Patente, "Patente", kInteger},
    ParamInfo{Agente, "Agente", kText},
    ParamInfo{rasoc, "rasoc", kText},
    ParamInfo{tipo_acceso, "tipo_acceso", kInteger, 1},
    ParamInfo{acc_tel, "acc_tel", kBoolean},
    ParamInfo{Host_Ras, "Host_Ras", kText},
    ParamInfo{Host_Internet, "Host_Internet", kText},
    ParamInfo{Host, "Host", kText},
    ParamInfo{proxy, "proxy", kInteger},
    ParamInfo{ip_proxy, "ip_proxy", kText},
    ParamInfo{telefono, "telefono", kText},
    ParamInfo{val_env, "val_env", kText},
    ParamInfo{val_rec, "val_rec", kText},
    ParamInfo{tra_env, "tra_env", kText},
    ParamInfo{tra_rec, "tra_rec", kText},
    ParamInfo{pag_env, "pag_env", kText},
    ParamInfo{pag_rec, "pag_rec", kText},
    ParamInfo{sag_env, "sag_env", kText},
    ParamInfo{sag_rec, "sag_rec", kText},
    ParamInfo{api_rec, "api_rec", kText},
    ParamInfo{prof_rec, "prof_rec", kText},
    ParamInfo{vererr, "vererr", kInteger},
    ParamInfo{VerPar, "VerPar", kInteger},
    ParamInfo{PassFTP, "PassFTP", kText},
    ParamInfo{Password, "Password", kText},
    ParamInfo{PassBan, "PassBan", kText},
    ParamInfo{kro_valin, "kro_valin", kText},
    ParamInfo{kro_valout, "kro_valout", kText},
    ParamInfo{kro_valresp, "kro_valresp", kText},
    ParamInfo{kro_pagin, "kro_pagin", kText},
    ParamInfo{kro_pagout, "kro_pagout", kText},
    ParamInfo{kro_pagin1, "kro_pagin1", kText},
    ParamInfo{kro_pagout1, "kro_pagout1", kText},
    ParamInfo{kro_sagin, "kro_sagin", kText},
    ParamInfo{kro_sagout, "kro_sagout", kText},
    ParamInfo{kro_update, "kro_update", kText},
    ParamInfo{kro_apiin, "kro_apiin", kText},
    ParamInfo{kro_apiout, "kro_apiout", kText},
    // Minutes after which an awaited answer is overdue: 1 to a week; anything else would make
    // every answer overdue, or none.
    ParamInfo{min_atraso, "min_atraso", kInteger, 30, ParamBounds{1, 7 * 24 * 60}, kLater},
    // Explicit TLS on every session with the server: off for an office that has not asked.
    ParamInfo{tls, "tls", kBoolean, 0, std::nullopt, kLater},
    // The certificate file of the authorities to trust; empty: the system's.
    ParamInfo{tls_ca, "tls_ca", kText, 0, std::nullopt, kLater},
    // Transfers of one kind that may run at once, each on a session of its own.
    ParamInfo{sesiones_ftp, "sesiones_ftp", kInteger, 4, ParamBounds{1, 8}, kLater},
};

constexpr bool in_declaration_order() {
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (static_cast<std::size_t>(kColumns[i].id) != i) {
            return false;
        }
    }
    return kColumns.size() == static_cast<std::size_t>(sesiones_ftp) + 1;
}
static_assert(in_declaration_order(), "one row per Param, in the order of the enum");
}  // namespace parameter_columns_detail

// The table of columns: one row per Param, in declaration order.
[[nodiscard]] constexpr std::span<const ParamInfo> parameter_columns() {
    return parameter_columns_detail::kColumns;
}

[[nodiscard]] constexpr const ParamInfo& parameter_info(Param id) {
    return parameter_columns_detail::kColumns[static_cast<std::size_t>(id)];
}

// The bounds of a column that has them.
[[nodiscard]] constexpr ParamBounds parameter_bounds(Param id) {
    return parameter_info(id).bounds.value();
}

// What a read of the column gives for a stored number: the number itself, or the default when
// it lies outside the column's bounds.
[[nodiscard]] constexpr std::int64_t within_bounds(const ParamInfo& info, std::int64_t stored) {
    const auto& bounds = info.bounds;
    return !bounds || (stored >= bounds->min && stored <= bounds->max) ? stored
                                                                       : info.default_number;
}

// The column's SQL type and default as a table holds them ("INTEGER NOT NULL DEFAULT 30").
[[nodiscard]] std::string column_definition(const ParamInfo& info);

}  // namespace ordano
