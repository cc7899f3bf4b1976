#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/DateTime.h"
#include "store/JournalStatus.h"

namespace SQLite {
class Database;
}

namespace ordano {

class ParametersRecord;
struct FileDigest;

// Minutes after which an awaited answer is overdue, as the office set them (1 to a week);
// anything else stands for the default.
inline constexpr int kDefaultOverdueMinutes = 30;
inline constexpr int kMaxOverdueMinutes = 7 * 24 * 60;
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
// The status it gives the file: "prevalidado", "aceptado", "rechazado", or "error" for an
// answer that cannot be read.
[[nodiscard]] std::string_view verdict_status(AnswerVerdict verdict);

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
// BITACORA_FALLAS). The transfer routines tell it each change as it happens; the change is
// queued at once and written, in order, by a thread of the journal's own on a connection of
// its own, so that a transfer never waits for the disk. A write never fails a transfer: what
// the database cannot take (locked, full) stays owed and is tried again, the office is told
// once, and the journal catches up when it can.
class Journal {
public:
    // Called on the journal's writing thread.
    using TroubleListener = std::function<void(const std::string& text)>;

    // How long the writing thread waits before it tries again what the database refused.
    static constexpr std::chrono::milliseconds kRetryInterval{2000};

    // Opens the database file. Throws StartupError when it cannot be opened.
    Journal(const std::filesystem::path& database, const Clock& clock);
    // Writes what is still owed (one last try), then stops the writing thread.
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Told the first time writes fail, and again only after they have succeeded since.
    void on_trouble(TroubleListener listener);

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

    // Waits until everything told so far is written, or until the writing thread's next try
    // has failed; true when nothing is owed any more.
    bool flush();
    [[nodiscard]] std::size_t owed() const;

    // A connection for readers on the calling thread (flush() first to read the latest).
    [[nodiscard]] SQLite::Database& database() { return *reader_; }
    // The database file, for readers on other threads (each with a connection of its own).
    [[nodiscard]] const std::filesystem::path& file() const { return file_; }

private:
    class Writer;
    class Thread;
    using Op = std::function<void(Writer&)>;

    void write(Op op);
    [[nodiscard]] std::string now() const;
    JournalId new_handle() { return next_id_++; }

    const Clock& clock_;
    std::filesystem::path file_;
    std::unique_ptr<SQLite::Database> reader_;
    // The last failure kept per entry, so a failure met on every polling tick is kept once.
    std::map<JournalId, std::pair<int, std::string>> last_failure_;
    JournalId next_id_ = 1;
    std::unique_ptr<Thread> thread_;  // last: stopped first
};

}  // namespace ordano
