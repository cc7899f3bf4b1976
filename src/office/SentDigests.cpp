// SPDX-License-Identifier: Apache-2.0
#include "office/SentDigests.h"

#include <SQLiteCpp/Database.h>

namespace ordano {

SentDigests::SentDigests(SQLite::Database& db)
    : query_(db,
             "SELECT sha256 FROM BITACORA WHERE archivo IN (?1, ?2) AND enviado IS NOT NULL "
             "ORDER BY enviado DESC, id DESC LIMIT 1") {}

std::optional<std::string> SentDigests::last_sent(std::string_view listed,
                                                  std::string_view on_disk) {
    // Reset once read: a statement left on its row keeps the database's read lock, and the
    // journal's own connection could then write nothing for as long as the watch runs.
    struct ResetAfter {
        SQLite::Statement& query;
        ~ResetAfter() { query.tryReset(); }
    } reset_after{query_};
    query_.bind(1, std::string(listed));
    query_.bind(2, std::string(on_disk));
    if (!query_.executeStep()) {
        return std::nullopt;
    }
    const auto column = query_.getColumn(0);
    return column.isNull() ? std::string() : column.getString();
}

}  // namespace ordano
