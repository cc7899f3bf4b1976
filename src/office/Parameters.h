// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "office/ParameterColumns.h"

namespace SQLite {
class Database;
}

namespace ordano {

// The code of a scheduled change (ACTUALIZACIONES.CAMPO, 1 to 15) names a column; other codes
// name none.
[[nodiscard]] std::optional<Param> parameter_for_change_code(int code);

// The single owner of the PARAMETROS row for the whole run. Values are staged by set() and
// written by save(), like "assign, then update" on the row. Null reads as "" or 0.
// Booleans are stored as -1 (true) and 0 (false). The values may be read from any thread while
// the one that holds the engine's turn stages or saves them.
class ParametersRecord {
public:
    using Value = std::variant<std::int64_t, std::string>;
    using Listener = std::function<void(Param)>;

    // Loads the row; throws StartupError when the table has no row.
    explicit ParametersRecord(SQLite::Database& db);
    ParametersRecord(const ParametersRecord&) = delete;
    ParametersRecord& operator=(const ParametersRecord&) = delete;

    [[nodiscard]] std::string text(Param id) const;
    [[nodiscard]] std::int64_t number(Param id) const;
    [[nodiscard]] bool flag(Param id) const { return number(id) != 0; }
    // The number, or the column's default when it holds one outside the column's bounds.
    [[nodiscard]] std::int64_t bounded_number(Param id) const {
        return within_bounds(parameter_info(id), number(id));
    }

    void set_text(Param id, std::string value);
    void set_number(Param id, std::int64_t value);
    void set_flag(Param id, bool value) { set_number(id, value ? -1 : 0); }

    // Writes every staged change to the row in one statement; on failure the staged values
    // are dropped and the record again holds what the database holds.
    void save();
    // Drops staged changes and reads the row again.
    void reload();
    [[nodiscard]] bool has_unsaved_changes() const { return !dirty_.empty(); }

    // Called with the column after each saved change (and after reload for every column).
    void subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }

private:
    void load();
    void notify(Param id) const;

    SQLite::Database& db_;
    mutable std::mutex values_mutex_;  // guards values_ (read by the windows' thread as well)
    std::vector<Value> values_;
    // What the row holds in the database, as last read or written: a failed save returns to it
    // without having to read the row again (which a locked database would refuse as well).
    std::vector<Value> stored_;
    std::vector<Param> dirty_;
    std::vector<Listener> listeners_;
};

}  // namespace ordano
