// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "office/JournalChange.h"
#include "office/JournalStatus.h"

namespace SQLite {
class Database;
}

namespace ordano {

class ParametersRecord;
struct OwedBatch;
struct FileDigest;

// Minutes after which an awaited answer is overdue, as the office set them (PARAMETROS.min_atraso,
// within its bounds; anything else stands for its default).
[[nodiscard]] int overdue_minutes(const ParametersRecord& params);

// An entry that was still open when the journal was reopened: on a send list, or with
// answers awaited.
struct OpenEntry {
    JournalId id = 0;
    std::int64_t row = 0;
    ListedFile file;
    bool pending = false;   // goes back on the send list
    bool awaiting = false;  // goes back on the receive list
    bool uploaded = false;  // by this office; else handed to reception without an upload
    ExpectedAnswers expected;
    bool prev_in = false;
    bool val_in = false;
    LocalDateTime awaiting_since;
};

// The durable record of every file's journey, kept in the office database (BITACORA and
// BITACORA_FALLAS). The transfer routines tell it each change as it happens; the change is
// queued at once and written, in order, by a thread of the journal's own on a connection of
// its own, so that a transfer never waits for the disk. A write never fails a transfer and is
// never lost: what the database cannot take (locked, full) stays owed and is tried again,
// kept meanwhile in a file beside the database (OwedJournal) that the next program to open
// the office writes if this one ends first; the office is told once.
class Journal {
public:
    // Called on the journal's writing thread.
    using TroubleListener = std::function<void(const std::string& text)>;

    // How long the writing thread waits before it tries again what the database refused.
    static constexpr std::chrono::milliseconds kRetryInterval{2000};

    // Opens the database file. Throws StartupError when it cannot be opened.
    Journal(const std::filesystem::path& database, const Clock& clock);
    // close(), unless done already.
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
    // The upload finished: the server has the file, its answers are awaited. `way` says how it
    // reached its name ("renombrado", "directo").
    void sent(JournalId id, const ExpectedAnswers& expected, std::string_view way = {});
    // The upload failed without the server confirming what it kept: the file may be on the
    // server whole, or in part (under its temporary name, or its own on a server that does not
    // rename). The next upload of the name asks the server first.
    void unconfirmed(JournalId id);
    // The upload about to start repeats one whose end was never confirmed: the same bytes under
    // the same name into the same folder. The server may hold them already.
    [[nodiscard]] bool may_be_on_server(JournalId id);
    // The uploads whose end was never confirmed, the latest 50: what they may have left. Called
    // before a sending run, when none of this program's uploads is under way: those begun by a
    // program that has ended are marked cut short first, as reopen() does.
    struct UnconfirmedUpload {
        std::string remote_folder;
        std::string name;
    };
    [[nodiscard]] std::vector<UnconfirmedUpload> unconfirmed_uploads();
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
    // Its answers are no longer awaited because reception was stopped by hand (Detener).
    void reception_stopped(JournalId id);

    // Start-up: uploads that a previous run began and never finished are marked as cut short
    // (not sent), then every entry still on a send list or awaiting answers is returned.
    // Entries whose rows cannot be read are left out and named in `damaged`.
    [[nodiscard]] std::vector<OpenEntry> reopen(std::vector<std::string>& damaged);

    // Waits until everything told so far is written, or until the writing thread's next try
    // has failed; true when nothing is owed any more.
    bool flush();
    [[nodiscard]] std::size_t owed() const;

    // Start-up of a program that holds the office: the writes an earlier program kept in the
    // file beside the database are queued first and written now (the file goes once they are
    // in). Returns what could not be read of the file, for the office to be told.
    std::vector<std::string> take_up_owed();
    // For readers while an earlier program's writes are still kept only in the file beside
    // the database (a reader leaves them there): a copy of the journal in memory with them
    // written in, and the rows they touch in `owed_rows`. nullptr when nothing is kept.
    [[nodiscard]] std::unique_ptr<SQLite::Database> with_kept_writes(
        std::set<std::int64_t>& owed_rows, std::vector<std::string>& notices);
    // The SHA-256 of the latest upload under either name that finished but is not written
    // yet; nullopt when none is owed.
    [[nodiscard]] std::optional<std::string> owed_sent(std::string_view listed,
                                                       std::string_view on_disk) const;

    // How the journal ended: what the database never took, and where it is kept.
    struct Ending {
        std::vector<std::string> unrecorded;  // the files with writes owed, in order
        bool sent_unrecorded = false;         // among them a finished upload
        std::string cause;                    // why the database refused them
        std::filesystem::path kept_in;        // the file that keeps them
        std::string not_kept;                 // why that file could not be written; "" if it was
        [[nodiscard]] bool complete() const { return unrecorded.empty(); }
        // What to tell the person: which files, and where their writes are kept or that they
        // are lost. "" when nothing is owed.
        [[nodiscard]] std::string text() const;
    };
    // Waits for the database (as long as it waits for a busy database at start-up) to write
    // what is owed, keeps in the file what it still refuses, and stops the writing thread.
    // Nothing can be told after it.
    Ending close();

    // A connection for readers on the calling thread (flush() first to read the latest).
    [[nodiscard]] SQLite::Database& database() { return *reader_; }
    // The database file, for readers on other threads (each with a connection of its own).
    [[nodiscard]] const std::filesystem::path& file() const { return file_; }

private:
    class Thread;

    // What the journal remembers of an entry while it is open, to put on its changes.
    struct Memo {
        std::string name;
        std::string sha256;                     // of the upload under way
        std::string remote_folder;              // where it goes
        std::pair<int, std::string> failure{};  // the last failure kept, kept once in a row
    };

    // The batch in the file beside the database, unless there is none or it is written.
    [[nodiscard]] std::optional<OwedBatch> kept_batch(std::vector<std::string>& notices);
    // A change of `id` stamped with the time and the entry's name, ready to be told.
    [[nodiscard]] JournalChange change(JournalChange::Kind kind, JournalId id);
    void write(JournalChange change);
    void mark_cut_short();
    JournalId new_handle() { return next_id_++; }

    const Clock& clock_;
    std::filesystem::path file_;
    std::unique_ptr<SQLite::Database> reader_;
    std::map<JournalId, Memo> memo_;
    JournalId next_id_ = 1;
    std::optional<Ending> ending_;
    std::unique_ptr<Thread> thread_;  // last: stopped first
};

}  // namespace ordano
