#include "store/ScheduledChanges.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "store/DateTime.h"
#include "store/Parameters.h"

namespace ordano {

int Aplica_Actualizaciones(SQLite::Database& db, ParametersRecord& params,
                           std::chrono::year_month_day today) {
    const std::string day = iso_date(today);
    try {
        SQLite::Transaction transaction(db);
        SQLite::Statement rows(db,
                               "SELECT CAMPO, VALOR FROM ACTUALIZACIONES "
                               "WHERE substr(FECHA,1,10)=? ORDER BY rowid");
        rows.bind(1, day);
        int count = 0;
        while (rows.executeStep()) {
            ++count;
            const auto code = rows.getColumn(0);
            const auto value = rows.getColumn(1);
            const auto column =
                code.isNull() ? std::nullopt : parameter_for_change_code(code.getInt());
            if (column) {
                // Codes 12 and 13 carry a password already scrambled: stored as it comes.
                params.set_text(*column, value.isNull() ? std::string() : value.getString());
            }
        }
        rows.reset();
        if (count == 0) {
            return 0;
        }
        SQLite::Statement remove(db, "DELETE FROM ACTUALIZACIONES WHERE substr(FECHA,1,10)=?");
        remove.bind(1, day);
        remove.exec();
        params.save();
        transaction.commit();
        return count;
    } catch (...) {
        // Nothing of today's changes may remain half-applied, in the record or in memory.
        params.reload();
        throw;
    }
}

}  // namespace ordano
