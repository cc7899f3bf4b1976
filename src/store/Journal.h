#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/DateTime.h"
#include "store/JournalStatus.h"

namespace SQLite {
class Database;
}

namespace ordano {

class ParametersRecord;
struct FileDigest;

// Minutes after which an awaited answer is overdue, as the office set them.
[[nodiscard]] int overdue_minutes(const ParametersRecord& params);

// The handle of a journal entry within this process (0: none). Writes are owed until the
// database takes them, so the handle is ours, not the row's id.
using JournalId = std::uint64_t;

// A file put on a send list.
struct ListedFile {
    std::string name;        // as the send list shows it
    std::string local_path;  // the file in the send folder of its kind
    std::string icono;       // the send entry's image number, "" for none
    std::string ruta_pre;    // the send entry's answer folders ("RutaPre", "RutaVal")
    std::string ruta_val;
};

// The answers a file handed to reception waits for.
struct ExpectedAnswers {
    std::string prev_name;  // "" when no prevalidation answer is expected
    std::string prev_folder;
    std::string val_name;
    std::string val_folder;
    std::string val_destination;  // the local folder of the validation answer
};

// What an answer said, as the journal keeps it.
enum class AnswerVerdict { Prevalidated, Accepted, Rejected, Unreadable };

// An entry that was still open when the journal was reopened: on a send list, or with
// answers awaited.
struct OpenEntry {
    JournalId id = 0;
    std::int64_t row = 0;
    ListedFile file;
    bool pending = false;   // goes back on the send list
    bool awaiting = false;  // goes back on the receive list
    ExpectedAnswers expected;
    bool prev_in = false;
    bool val_in = false;
    LocalDateTime awaiting_since;
};

// The durable record of every file's journey, kept in the office database (BITACORA and
// BITACORA_FALLAS) on a connection of its own. The transfer routines tell it each change as
// it happens. A write never throws: what the database cannot take now (locked, full) is owed,
// the office is told once, and the next write or catch_up() delivers it, in order.
class Journal {
public:
    using TroubleListener = std::function<void(const std::string& text)>;

    // Opens the database file. Throws StartupError when it cannot be opened.
    Journal(const std::filesystem::path& database, const Clock& clock);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Told the first time writes fail, and again only after they have succeeded since.
    void on_trouble(TroubleListener listener) { trouble_ = std::move(listener); }

    JournalId listed(const ListedFile& file);
    // Taken off the send list unsent: forgotten, unless failures were met on the way.
    void withdrawn(JournalId id);
    // The upload of these bytes (the working copy) into this remote folder begins.
    void upload_started(JournalId id, const FileDigest& digest, const std::string& remote_folder);
    // The upload finished: the server has the file, its answers are awaited.
    void sent(JournalId id, const ExpectedAnswers& expected);
    // Handed to reception without an upload (the file is already on the server).
    void handed_over(JournalId id, const ExpectedAnswers& expected);
    // The attempt to send failed; the entry stays where it is.
    void send_failed(JournalId id, int number, const std::string& text);
    // A failure met on the way that does not change where the entry stands. The same failure
    // met again in a row is kept once.
    void failed(JournalId id, int number, const std::string& text);
    // An answer stored at `path`; `complete` when no answer is awaited any more.
    void answer_stored(JournalId id, AnswerRole role, const std::string& path,
                       AnswerVerdict verdict, bool complete);
    // Its answers are no longer awaited (taken off the receive list, reception stopped).
    void no_longer_awaited(JournalId id);

    // Start-up: uploads that a previous run began and never finished are marked as cut short
    // (not sent), then every entry still on a send list or awaiting answers is returned.
    // Entries whose rows cannot be read are left out and named in `damaged`.
    [[nodiscard]] std::vector<OpenEntry> reopen(std::vector<std::string>& damaged);

    // Delivers what is owed; true when nothing is owed any more.
    bool catch_up();
    [[nodiscard]] std::size_t owed() const { return owed_.size(); }

    // The journal's own connection, for readers.
    [[nodiscard]] SQLite::Database& database() { return *db_; }

private:
    class Writer;
    using Op = std::function<void(Writer&)>;

    void write(Op op);
    void tell(const std::string& cause);
    [[nodiscard]] std::string now() const;
    JournalId new_handle() { return next_id_++; }

    std::unique_ptr<SQLite::Database> db_;
    const Clock& clock_;
    TroubleListener trouble_;
    std::deque<Op> owed_;
    std::map<JournalId, std::int64_t> rows_;  // handle -> row id, once the row exists
    // The last failure kept per entry, so a failure met on every polling tick is kept once.
    std::map<JournalId, std::pair<int, std::string>> last_failure_;
    JournalId next_id_ = 1;
    bool told_ = false;
};

}  // namespace ordano
