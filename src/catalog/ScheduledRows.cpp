// SPDX-License-Identifier: Apache-2.0
#include "catalog/ScheduledRows.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>

#include "base/DateTime.h"
#include "base/Errors.h"

namespace ordano {

std::vector<ScheduledRow> scheduled_rows(SQLite::Database& db, const std::vector<int>& codes) {
    std::vector<ScheduledRow> rows;
    SQLite::Statement query(db,
                            "SELECT rowid, CAMPO, VALOR, FECHA FROM ACTUALIZACIONES "
                            "WHERE CAMPO=? ORDER BY rowid");
    for (const int code : codes) {
        query.bind(1, code);
        while (query.executeStep()) {
            ScheduledRow row;
            row.rowid = query.getColumn(0).getInt64();
            row.campo = query.getColumn(1).getInt();
            row.valor = query.getColumn(2).getString();
            if (const auto fecha = query.getColumn(3); !fecha.isNull()) {
                try {
                    row.fecha = parse_iso_date(fecha.getString());
                } catch (const FormatError&) {
                    row.fecha = std::nullopt;
                }
            }
            rows.push_back(std::move(row));
        }
        query.reset();
    }
    std::sort(rows.begin(), rows.end(),
              [](const ScheduledRow& a, const ScheduledRow& b) { return a.rowid < b.rowid; });
    return rows;
}

void add_scheduled_row(SQLite::Database& db, int campo, const std::string& valor,
                       std::chrono::year_month_day fecha) {
    SQLite::Statement insert(db,
                             "INSERT INTO ACTUALIZACIONES (CAMPO, VALOR, FECHA) VALUES (?, ?, ?)");
    insert.bind(1, campo);
    insert.bind(2, valor);
    insert.bind(3, iso_date(fecha));
    insert.exec();
}

void set_scheduled_row(SQLite::Database& db, std::int64_t rowid, const std::string& valor,
                       std::chrono::year_month_day fecha) {
    SQLite::Statement update(db, "UPDATE ACTUALIZACIONES SET VALOR=?, FECHA=? WHERE rowid=?");
    update.bind(1, valor);
    update.bind(2, iso_date(fecha));
    update.bind(3, rowid);
    update.exec();
}

}  // namespace ordano
