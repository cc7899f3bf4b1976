// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <SQLiteCpp/Statement.h>

namespace SQLite {
class Database;
}

namespace ordano {

// What the journal says was last sent under a file's name: the SHA-256 of the bytes uploaded.
// One statement prepared once and served by the journal's index on the name, so asking for
// many names stays cheap.
class SentDigests {
public:
    explicit SentDigests(SQLite::Database& db);

    // The digest of the latest upload that finished under `listed` (the name as the send list
    // shows it) or under `on_disk` (the file's own spelling, which an office may have listed);
    // nullopt when neither was ever sent.
    [[nodiscard]] std::optional<std::string> last_sent(std::string_view listed,
                                                       std::string_view on_disk);

private:
    SQLite::Statement query_;
};

}  // namespace ordano
