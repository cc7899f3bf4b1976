// SPDX-License-Identifier: Apache-2.0
#include "office/JournalQuery.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <variant>

#include "base/TimeStamps.h"

namespace ordano {
namespace {

// The status a row shows: an awaited file becomes overdue at the cutoff. Earlier versions
// wrote "enviado" for a file handed to reception without an upload once its answers were no
// longer awaited: it was never sent, and shows as such.
constexpr const char* kShownStatus =
    "(CASE WHEN esperando = 1 AND COALESCE(espera_desde, '') < :cutoff THEN 'atrasado' "
    "WHEN estado = 'enviado' AND enviado IS NULL THEN 'recepción manual' ELSE estado END)";

constexpr const char* kRowColumns =
    "id, momento, archivo, tipo, (CASE WHEN estado = 'enviado' AND enviado IS NULL THEN "
    "'recepción manual' ELSE estado END), prev_archivo, prev_carpeta, prev_llegada, prev_ruta, "
    "val_archivo, val_carpeta, val_llegada, val_ruta, esperando, espera_desde";
constexpr const char* kDetailColumns =
    ", ruta_local, en_lista, enviado, carpeta_remota, tamano, sha256, via_envio";

// A WHERE clause with its named values.
struct Where {
    std::string sql = " WHERE 1";
    std::vector<std::pair<const char*, std::string>> values;

    void add(const std::string& condition, const char* name, std::string value) {
        sql += " AND " + condition;
        values.emplace_back(name, std::move(value));
    }
};

std::string next_day(std::chrono::year_month_day day) {
    return iso_date(std::chrono::year_month_day(std::chrono::sys_days(day) + std::chrono::days(1)));
}

Where where_of(const HistoryFilter& filter) {
    Where where;
    if (filter.since) {
        where.add("momento >= :since", ":since", iso_date(*filter.since));
    }
    if (filter.until) {
        where.add("momento < :until", ":until", next_day(*filter.until));
    }
    if (!filter.kind.empty()) {
        where.add("tipo = :kind", ":kind", filter.kind);
    }
    if (filter.status) {
        where.add(std::string(kShownStatus) + " = :status", ":status",
                  std::string(status_text(*filter.status)));
    }
    if (!filter.text.empty()) {
        // LIKE ignores the letter case of ASCII; its wildcards in the text are taken literally.
        std::string escaped;
        for (const char c : filter.text) {
            if (c == '%' || c == '_' || c == '\\') {
                escaped += '\\';
            }
            escaped += c;
        }
        where.add("archivo LIKE :text ESCAPE '\\'", ":text", "%" + escaped + "%");
    }
    if (filter.awaiting_only) {
        where.sql += " AND esperando = 1";
    }
    return where;
}

std::string order_of(HistoryOrder order) {
    const char* direction = order.descending ? " DESC" : " ASC";
    std::string key;
    switch (order.column) {
        case HistoryColumn::Moment:
            key = "momento";
            break;
        case HistoryColumn::File:
            key = "archivo";
            break;
        case HistoryColumn::Kind:
            key = "tipo";
            break;
        case HistoryColumn::Status:
            key = kShownStatus;
            break;
        case HistoryColumn::Answers:
            key = "val_archivo";
            break;
    }
    return " ORDER BY " + key + direction + ", id" + direction;
}

void bind_where(SQLite::Statement& query, const Where& where, const std::string& cutoff,
                bool uses_cutoff) {
    for (const auto& [name, value] : where.values) {
        query.bind(name, value);
    }
    if (uses_cutoff) {
        query.bind(":cutoff", cutoff);
    }
}

bool mentions_cutoff(const std::string& sql) {
    return sql.find(":cutoff") != std::string::npos;
}

std::string text_at(SQLite::Statement& q, int column) {
    const auto value = q.getColumn(column);
    return value.isNull() ? std::string() : value.getString();
}

std::string damage_of(const JournalRecord& record) {
    if (record.file.empty()) {
        return "no tiene nombre de archivo";
    }
    if (!status_from_text(record.status)) {
        return "su estado «" + record.status + "» no es ninguno de los conocidos";
    }
    if (!parse_iso_timestamp(record.moment)) {
        return "su fecha «" + record.moment + "» no es una fecha";
    }
    std::vector<std::string_view> names = {record.file};
    for (const AnswerRecord& answer : record.answers) {
        names.push_back(answer.name);
    }
    return names_damage(names);
}

JournalRecord read_row(SQLite::Statement& q, const std::string& cutoff) {
    JournalRecord record;
    record.id = q.getColumn(0).getInt64();
    record.moment = text_at(q, 1);
    record.file = text_at(q, 2);
    record.kind = text_at(q, 3);
    record.status = text_at(q, 4);
    record.awaiting = q.getColumn(13).getInt64() == 1;
    record.awaiting_since = text_at(q, 14);
    if (record.awaiting && record.awaiting_since < cutoff) {
        record.status = std::string(status_text(JourneyStatus::Overdue));
    }
    if (const std::string name = text_at(q, 5); !name.empty()) {
        record.answers.push_back(
            {AnswerRole::Prevalidation, name, text_at(q, 6), text_at(q, 7), text_at(q, 8)});
    }
    if (const std::string name = text_at(q, 9); !name.empty()) {
        record.answers.push_back(
            {AnswerRole::Validation, name, text_at(q, 10), text_at(q, 11), text_at(q, 12)});
    }
    record.damage = damage_of(record);
    return record;
}

void read_details(SQLite::Statement& q, JournalRecord& record) {
    constexpr int kFirst = 15;
    record.local_path = text_at(q, kFirst);
    record.listed_at = text_at(q, kFirst + 1);
    record.sent_at = text_at(q, kFirst + 2);
    record.remote_folder = text_at(q, kFirst + 3);
    if (!q.getColumn(kFirst + 4).isNull()) {
        record.size = q.getColumn(kFirst + 4).getInt64();
    }
    record.sha256 = text_at(q, kFirst + 5);
    record.upload_way = text_at(q, kFirst + 6);
}

}  // namespace

std::string JournalRecord::answers_text() const {
    std::string out;
    for (const AnswerRecord& answer : answers) {
        if (!answer.received_at.empty()) {
            out += (out.empty() ? "" : ", ") + answer.name;
        }
    }
    for (const AnswerRecord& answer : answers) {
        if (answer.received_at.empty() && awaiting) {
            out += (out.empty() ? "" : ", ") + answer.name + " (esperando)";
        }
    }
    return out;
}

std::string HistorySummary::text() const {
    return "Enviados: " + std::to_string(sent) + "   En espera: " + std::to_string(awaiting) +
           "   Atrasados: " + std::to_string(overdue) +
           "   Aceptados: " + std::to_string(accepted) +
           "   Rechazados: " + std::to_string(rejected) +
           "   Recepción manual: " + std::to_string(handed_over) +
           "   Errores: " + std::to_string(failed);
}

JournalReader::JournalReader(SQLite::Database& db, const LocalDateTime& now, int overdue_minutes)
    : db_(db), cutoff_(iso_timestamp(add_minutes(now, -overdue_minutes))) {}

std::int64_t JournalReader::count(const HistoryFilter& filter) const {
    const Where where = where_of(filter);
    SQLite::Statement query(db_, "SELECT count(*) FROM BITACORA" + where.sql);
    bind_where(query, where, cutoff_, mentions_cutoff(where.sql));
    query.executeStep();
    return query.getColumn(0).getInt64();
}

std::vector<JournalRecord> JournalReader::rows(const HistoryFilter& filter, HistoryOrder order,
                                               std::int64_t offset, std::int64_t limit) const {
    const Where where = where_of(filter);
    const std::string sql = std::string("SELECT ") + kRowColumns + " FROM BITACORA" + where.sql +
                            order_of(order) + " LIMIT :limit OFFSET :offset";
    SQLite::Statement query(db_, sql);
    bind_where(query, where, cutoff_, mentions_cutoff(sql));
    query.bind(":limit", limit);
    query.bind(":offset", offset);
    std::vector<JournalRecord> out;
    while (query.executeStep()) {
        out.push_back(read_row(query, cutoff_));
    }
    return out;
}

HistorySummary JournalReader::summary(const HistoryFilter& filter) const {
    const Where where = where_of(filter);
    SQLite::Statement query(
        db_,
        "SELECT total(enviado IS NOT NULL), "
        "total(esperando = 1 AND COALESCE(espera_desde, '') >= :cutoff), "
        "total(esperando = 1 AND COALESCE(espera_desde, '') < :cutoff), "
        "total(estado = 'aceptado'), total(estado = 'rechazado'), "
        "total(esperando = 0 AND enviado IS NULL AND estado IN ('enviado', 'recepción manual')), "
        "total(estado = 'error') FROM BITACORA" +
            where.sql);
    bind_where(query, where, cutoff_, true);
    query.executeStep();
    const auto at = [&query](int column) {
        return static_cast<std::int64_t>(query.getColumn(column).getDouble());
    };
    return {at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
}

std::vector<JournalRecord> JournalReader::records(const HistoryFilter& filter,
                                                  HistoryOrder order) const {
    const Where where = where_of(filter);
    const std::string sql = std::string("SELECT ") + kRowColumns + kDetailColumns +
                            " FROM BITACORA" + where.sql + order_of(order);
    SQLite::Statement query(db_, sql);
    bind_where(query, where, cutoff_, mentions_cutoff(sql));
    SQLite::Statement failures(db_,
                               "SELECT numero, texto, momento FROM BITACORA_FALLAS WHERE "
                               "entrada = ? ORDER BY id");
    std::vector<JournalRecord> out;
    while (query.executeStep()) {
        JournalRecord record = read_row(query, cutoff_);
        read_details(query, record);
        failures.bind(1, record.id);
        while (failures.executeStep()) {
            record.failures.push_back(
                {failures.getColumn(0).getInt(), text_at(failures, 1), text_at(failures, 2)});
        }
        failures.reset();
        out.push_back(std::move(record));
    }
    return out;
}

std::optional<JournalRecord> JournalReader::latest_of(const std::string& file) const {
    SQLite::Statement query(db_, std::string("SELECT ") + kRowColumns + kDetailColumns +
                                     " FROM BITACORA WHERE archivo = ? ORDER BY momento DESC, "
                                     "id DESC LIMIT 1");
    query.bind(1, file);
    if (!query.executeStep()) {
        return std::nullopt;
    }
    JournalRecord record = read_row(query, cutoff_);
    read_details(query, record);
    return record;
}

}  // namespace ordano
