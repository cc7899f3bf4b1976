// SPDX-License-Identifier: Apache-2.0
#include "office/ScheduledChanges.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "base/DateTime.h"
#include "base/Errors.h"
#include "base/Scramble.h"
#include "office/Parameters.h"

namespace ordano {
namespace {

bool unreadable_password(int code, const std::string& value) {
    if (code != 12 && code != 13) {
        return false;
    }
    try {
        (void)unscramble(value);
        return false;
    } catch (const FormatError&) {
        return true;
    }
}

std::string refusal(int code, Param column, std::chrono::year_month_day day) {
    return "El cambio programado para el " + iso_date(day) + " en ACTUALIZACIONES (CAMPO " +
           std::to_string(code) + ", " + parameter_info(column).column +
           ") no se aplicó: su contraseña no se puede leer. Se sigue usando la anterior.";
}

}  // namespace

ScheduledChangesOutcome apply_due_changes(SQLite::Database& db, ParametersRecord& params,
                                          std::chrono::year_month_day today) {
    const std::string day = iso_date(today);
    ScheduledChangesOutcome outcome;
    try {
        SQLite::Transaction transaction(db);
        SQLite::Statement rows(db,
                               "SELECT rowid, CAMPO, VALOR FROM ACTUALIZACIONES "
                               "WHERE substr(FECHA,1,10)=? ORDER BY rowid");
        rows.bind(1, day);
        std::vector<std::int64_t> taken;
        while (rows.executeStep()) {
            ++outcome.rows;
            const auto code = rows.getColumn(1);
            const auto value = rows.getColumn(2);
            const int campo = code.isNull() ? 0 : code.getInt();  // 0 names no column
            const std::string text = value.isNull() ? std::string() : value.getString();
            if (const auto column = parameter_for_change_code(campo)) {
                if (unreadable_password(campo, text)) {
                    outcome.refused.push_back(refusal(campo, *column, today));
                    continue;
                }
                // Codes 12 and 13 carry a password already scrambled: stored as it comes.
                params.set_text(*column, text);
            }
            taken.push_back(rows.getColumn(0).getInt64());
        }
        rows.reset();
        if (outcome.rows == 0) {
            return outcome;
        }
        SQLite::Statement remove(db, "DELETE FROM ACTUALIZACIONES WHERE rowid=?");
        for (const auto rowid : taken) {
            remove.bind(1, rowid);
            remove.exec();
            remove.reset();
        }
        params.save();
        transaction.commit();
        return outcome;
    } catch (...) {
        // Nothing of today's changes may remain half-applied, in the record or in memory.
        params.reload();
        throw;
    }
}

}  // namespace ordano
