// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace SQLite {
class Database;
}

namespace ordano {

// A row of ACTUALIZACIONES, a parameter change the server scheduled for a day.
struct ScheduledRow {
    std::int64_t rowid = 0;
    int campo = 0;
    std::string valor;
    std::optional<std::chrono::year_month_day> fecha;  // none when null or unreadable
};

// The rows for the given codes, in table order.
[[nodiscard]] std::vector<ScheduledRow> scheduled_rows(SQLite::Database& db,
                                                       const std::vector<int>& codes);
void add_scheduled_row(SQLite::Database& db, int campo, const std::string& valor,
                       std::chrono::year_month_day fecha);
void set_scheduled_row(SQLite::Database& db, std::int64_t rowid, const std::string& valor,
                       std::chrono::year_month_day fecha);

}  // namespace ordano
