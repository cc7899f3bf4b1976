// SPDX-License-Identifier: Apache-2.0
#include "office/NestedSavepoint.h"

#include <SQLiteCpp/Database.h>

namespace ordano {

NestedSavepoint::NestedSavepoint(SQLite::Database& db, std::string name)
    : db_(db), name_(std::move(name)) {
    db_.exec("SAVEPOINT " + name_);
}

NestedSavepoint::~NestedSavepoint() {
    if (released_) {
        return;
    }
    try {
        db_.exec("ROLLBACK TO " + name_);
        db_.exec("RELEASE " + name_);
    } catch (...) {
        // the connection is broken; nothing more can be undone from here
    }
}

void NestedSavepoint::release() {
    db_.exec("RELEASE " + name_);
    released_ = true;
}

}  // namespace ordano
