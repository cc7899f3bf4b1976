// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "office/OfficeLock.h"
#include "office/Session.h"
#include "office/Settings.h"

namespace SQLite {
class Database;
}

namespace ordano {

class Catalog;
class Journal;
class ParametersRecord;

// One office brought up: the database connection, the parameters record, the catalogue, the
// transfer journal and the run-time values. Owns them all for the life of the program.
class Office {
public:
    // Start-up without windows: working folder, settings file, database, parameters record,
    // the local folders, host by link type, today's scheduled changes, run-time values.
    // Throws StartupError with a message for the user. `stop` is the front end's, when it
    // requests stops from outside (a termination signal); otherwise the office has its own.
    // With a lock holder ("ordano", "ordano-cli send", ...) the office's lock is taken before
    // the database is opened and held while the Office lives (OfficeBusyError when another
    // program has it); readers give none.
    static std::unique_ptr<Office> open(const PathOptions& options, const Clock& clock,
                                        LocaleFormats locale = {}, std::stop_source stop = {},
                                        std::string_view lock_holder = {});
    // For a reader that takes no lock (history, pending, review) and so works alongside the
    // program that holds the office: start-up as above, except that it writes nothing into the
    // office (today's scheduled changes are left to that program, no index is made).
    static std::unique_ptr<Office> open_to_read(const PathOptions& options, const Clock& clock,
                                                LocaleFormats locale = {});
    ~Office();
    Office(const Office&) = delete;
    Office& operator=(const Office&) = delete;

    [[nodiscard]] SQLite::Database& db() { return *db_; }
    [[nodiscard]] ParametersRecord& params() { return *params_; }
    [[nodiscard]] Catalog& catalog() { return *catalog_; }
    [[nodiscard]] Journal& journal() { return *journal_; }
    [[nodiscard]] Sesion& session() { return session_; }
    [[nodiscard]] const Clock& clock() const { return clock_; }
    [[nodiscard]] const LocaleFormats& locale() const { return locale_; }

    // The program is ending: every run stops at its next step and the transfers in flight are
    // cancelled (see RunStop.h). Safe from any thread; a request stays.
    void request_stop() noexcept { stop_.request_stop(); }
    [[nodiscard]] std::stop_token stop_token() const noexcept { return stop_.get_token(); }

    // host from the column of the stored link type (0 Host_Ras, 1 Host_Internet, 2 Host);
    // any other link type leaves `fallback`.
    [[nodiscard]] std::string host_for_link_type(const std::string& fallback) const;
    // The local folders as the parameters record holds them.
    [[nodiscard]] LocalFolders stored_folders() const;
    // What start-up could not do without stopping (a scheduled change kept back), for the
    // front end to tell once the office is up.
    [[nodiscard]] const std::vector<std::string>& startup_notices() const { return notices_; }

private:
    Office(const Clock& clock, LocaleFormats locale, std::stop_source stop);
    void start_up(const PathOptions& options, std::string_view lock_holder, bool reader = false);
    void apply_scheduled_changes(const std::filesystem::path& db_file);
    // The journal's writes an earlier program kept beside the database, taken up first.
    void write_kept_journal(const std::filesystem::path& db_file);

    // Declared first, so it is released after the database has closed.
    std::optional<OfficeLock> lock_;
    const Clock& clock_;
    LocaleFormats locale_;
    std::stop_source stop_;
    std::unique_ptr<SQLite::Database> db_;
    std::unique_ptr<ParametersRecord> params_;
    std::unique_ptr<Catalog> catalog_;
    std::unique_ptr<Journal> journal_;
    Sesion session_;
    std::vector<std::string> notices_;
};

}  // namespace ordano
