// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace SQLite {
class Database;
}

namespace ordano {

// A savepoint: nests inside a transaction already open (or stands alone), and undoes its own
// work unless released. SQLiteCpp's own savepoint leaves it open after a rollback.
class NestedSavepoint {
public:
    NestedSavepoint(SQLite::Database& db, std::string name);
    ~NestedSavepoint();
    NestedSavepoint(const NestedSavepoint&) = delete;
    NestedSavepoint& operator=(const NestedSavepoint&) = delete;

    void release();

private:
    SQLite::Database& db_;
    std::string name_;
    bool released_ = false;
};

}  // namespace ordano
