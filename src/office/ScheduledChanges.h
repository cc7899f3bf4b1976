// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace SQLite {
class Database;
}

namespace ordano {

class ParametersRecord;

struct ScheduledChangesOutcome {
    int rows = 0;  // today's rows read
    // One text per row kept back because its password cannot be unscrambled, naming the row.
    std::vector<std::string> refused;
};

// apply_due_changes: applies the ACTUALIZACIONES rows dated today to the parameters
// record in table order (codes 1 to 15; other codes change nothing), deletes the rows it took
// and saves the record, all in one transaction: a failure leaves the rows and the record as
// they were. A password row (codes 12 and 13) whose value cannot be unscrambled is neither
// applied nor deleted: the column keeps its last good value.
ScheduledChangesOutcome apply_due_changes(SQLite::Database& db, ParametersRecord& params,
                                          std::chrono::year_month_day today);

}  // namespace ordano
