#pragma once

#include <chrono>

namespace SQLite {
class Database;
}

namespace ordano {

class ParametersRecord;

// Aplica_Actualizaciones: applies the ACTUALIZACIONES rows dated today to the parameters
// record in table order (codes 1 to 15; other codes change nothing), deletes today's rows and
// saves the record, all in one transaction: a failure leaves the rows and the record as they
// were. Returns the number of rows read.
int Aplica_Actualizaciones(SQLite::Database& db, ParametersRecord& params,
                           std::chrono::year_month_day today);

}  // namespace ordano
