// SPDX-License-Identifier: Apache-2.0
#include "office/Journal.h"

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

#include "base/Errors.h"
#include "base/Sha256.h"
#include "base/TimeStamps.h"
#include "office/NestedSavepoint.h"
#include "office/OwedJournal.h"
#include "office/Parameters.h"

namespace ordano {
namespace {

using Kind = JournalChange::Kind;

// How long a write waits for a database another connection holds before it is owed.
constexpr int kBusyTimeoutMs = 1000;
// How long the last writes wait at the end of the run: as long as start-up waits for a
// database another program holds.
constexpr int kClosingBusyTimeoutMs = 5000;

// Failures of the database that pass (locked, busy, full, input/output); others would fail
// again whatever the journal did.
bool passes(const SQLite::Exception& e) {
    switch (e.getErrorCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_NOMEM:
        case SQLITE_READONLY:
        case SQLITE_IOERR:
        case SQLITE_FULL:
        case SQLITE_CANTOPEN:
        case SQLITE_PROTOCOL:
            return true;
        default:
            return false;
    }
}

std::string text_of(SQLite::Statement& query, int column) {
    const auto value = query.getColumn(column);
    return value.isNull() ? std::string() : value.getString();
}

// The rows of the handles, including those made earlier in the same batch.
class Rows {
public:
    explicit Rows(const std::map<JournalId, std::int64_t>& known) : known_(known) {}
    [[nodiscard]] std::int64_t of(const JournalChange& change) const {
        if (change.row != 0) {
            return change.row;
        }
        if (const auto it = made.find(change.entry); it != made.end()) {
            return it->second;
        }
        const auto it = known_.find(change.entry);
        return it == known_.end() ? 0 : it->second;  // 0: its row could never be made
    }
    std::map<JournalId, std::int64_t> made;

private:
    const std::map<JournalId, std::int64_t>& known_;
};

// Writes a batch in the transaction open on `db`: first the token of the file it was kept in,
// if any (the batch taken up by this process is its to write, whatever another did), then the
// changes in order. A change that cannot be written because of what it holds is left out alone
// and named in `lost`; a refusal of the database itself is thrown.
void write_batch(SQLite::Database& db, const std::string& token,
                 const std::vector<const JournalChange*>& changes, Rows& rows,
                 std::vector<std::string>& lost) {
    if (!token.empty()) {
        SQLite::Statement batch(
            db, "INSERT OR IGNORE INTO BITACORA_LOTES (lote, momento) VALUES (?, ?)");
        batch.bind(1, token);
        batch.bind(2, changes.empty() ? std::string() : changes.back()->at);
        batch.exec();
    }
    for (const JournalChange* change : changes) {
        const std::int64_t row = rows.of(*change);
        if (row == 0 && change->kind != Kind::Listed) {
            continue;
        }
        // An entry's change that cannot be written is undone alone.
        NestedSavepoint savepoint(db, "journal_change");
        try {
            const std::int64_t written = write_change(db, *change, row);
            if (change->kind == Kind::Listed) {
                rows.made[change->entry] = written;
            }
            savepoint.release();
        } catch (const SQLite::Exception& e) {
            if (passes(e)) {
                throw;
            }
            lost.emplace_back(e.what());
        }
    }
}

}  // namespace

// The writing thread: owns its connection and the rows of the handles, takes the owed changes
// in order and delivers them in batches, one transaction each; keeps in the file beside the
// database what the database refuses.
class Journal::Thread {
public:
    explicit Thread(const std::filesystem::path& database) : kept_in_(owed_journal_file(database)) {
        reserve_owed_room(kept_in_);  // while there is room
        try {
            db_ = std::make_unique<SQLite::Database>(database.string(), SQLite::OPEN_READWRITE);
            db_->setBusyTimeout(kBusyTimeoutMs);
        } catch (const SQLite::Exception& e) {
            throw StartupError("No se pudo abrir la bitácora de envíos en " + database.string() +
                               ": " + e.what());
        }
        thread_ = std::thread([this] { run(); });
    }

    ~Thread() { stop(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void push(JournalChange change) {
        {
            const std::lock_guard lock(mutex_);
            owed_.push_back({++pushed_, std::move(change)});
        }
        wake_.notify_all();
    }

    bool flush() {
        std::unique_lock lock(mutex_);
        const std::uint64_t target = pushed_;
        settled_.wait(lock, [&] { return attempted_ >= target && !busy_; });
        return owed_.empty();
    }

    [[nodiscard]] std::size_t owed() const {
        const std::lock_guard lock(mutex_);
        return owed_.size() + delivering_.size();
    }

    // Rows that already exist, for handles made without a write: taken up before the next
    // batch, so opening a journal writes nothing (a write would lock the office's database).
    void adopt(std::map<JournalId, std::int64_t> rows) {
        const std::lock_guard lock(mutex_);
        adopted_.merge(rows);
    }

    // Once it returns, the listener it replaced is not running and never will.
    void on_trouble(TroubleListener listener) {
        const std::lock_guard lock(listener_mutex_);
        trouble_ = std::move(listener);
    }

    [[nodiscard]] const std::filesystem::path& kept_in() const { return kept_in_; }

    // The batch of the file, queued before anything else this process tells.
    void take_up(std::string token) {
        const std::lock_guard lock(mutex_);
        token_ = std::move(token);
    }

    // Everything owed, in order, each with its row where the journal knows it.
    [[nodiscard]] std::vector<JournalChange> owed_changes() const {
        const std::lock_guard lock(mutex_);
        return resolved();
    }

    // The last try, waiting for a busy database; what it refuses stays in the file. Returns
    // what is still owed and why.
    Ending stop() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
        const std::lock_guard lock(mutex_);
        Ending ending;
        std::set<std::string> named;
        for (const Owed& owed : owed_) {
            const std::string& name = owed.change.file.name;
            if (!name.empty() && named.insert(name).second) {
                ending.unrecorded.push_back(name);
            }
            ending.sent_unrecorded = ending.sent_unrecorded || owed.change.kind == Kind::Sent;
        }
        if (!owed_.empty()) {
            ending.cause = cause_;
            ending.kept_in = kept_in_;
            ending.not_kept = not_kept_;
        }
        return ending;
    }

private:
    struct Owed {
        std::uint64_t sequence;
        JournalChange change;
    };

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || !owed_.empty(); });
            if (owed_.empty()) {
                return;
            }
            const bool last = stop_;
            rows_.merge(adopted_);
            delivering_.swap(owed_);
            busy_ = true;
            const std::string token = token_;
            lock.unlock();
            if (last) {
                db_->setBusyTimeout(kClosingBusyTimeoutMs);
            }
            const bool delivered = deliver(token);
            lock.lock();
            busy_ = false;
            attempted_ = delivering_.back().sequence;
            if (delivered) {
                delivering_.clear();
                if (!token.empty() && token == token_) {
                    token_.clear();  // the file's batch is in: the file goes
                    kept_count_ = 0;
                    std::error_code ignored;
                    std::filesystem::remove(kept_in_, ignored);
                }
            } else {
                owed_.insert(owed_.begin(), std::make_move_iterator(delivering_.begin()),
                             std::make_move_iterator(delivering_.end()));
                delivering_.clear();
                keep();
                tell_refused();
            }
            settled_.notify_all();
            if (!delivered) {
                if (last) {
                    return;
                }
                const std::size_t waiting = owed_.size();
                wake_.wait_for(lock, kRetryInterval,
                               [&] { return stop_ || owed_.size() > waiting; });
            }
        }
    }

    // One transaction for the batch, with the token of the file it was kept in; a change that
    // cannot be written because of what it holds is left out alone. false when the database
    // refused the batch for now.
    bool deliver(const std::string& token) {
        std::vector<std::string> lost;
        std::vector<const JournalChange*> changes;
        for (const Owed& owed : delivering_) {
            changes.push_back(&owed.change);
        }
        try {
            Rows rows(rows_);
            SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
            write_batch(*db_, token, changes, rows, lost);
            transaction.commit();
            rows_.merge(rows.made);
        } catch (const SQLite::Exception& e) {
            cause_ = e.what();
            return false;
        }
        if (!lost.empty()) {
            tell("No se pudo registrar en la bitácora de envíos: " + lost.front());
        } else {
            told_ = false;
        }
        return true;
    }

    // Called with the lock held.
    [[nodiscard]] std::vector<JournalChange> resolved() const {
        std::vector<JournalChange> out;
        for (const auto* queue : {&delivering_, &owed_}) {
            for (const Owed& owed : *queue) {
                JournalChange change = owed.change;
                if (change.row == 0) {
                    const auto known = rows_.find(change.entry);
                    const auto adopted = adopted_.find(change.entry);
                    change.row = known != rows_.end()        ? known->second
                                 : adopted != adopted_.end() ? adopted->second
                                                             : 0;
                }
                out.push_back(std::move(change));
            }
        }
        return out;
    }

    // Keeps what is owed in the file beside the database, unless it holds it already. Called
    // with the lock held.
    void keep() {
        if (owed_.size() == kept_count_ && !owed_.empty() && owed_.back().sequence == kept_last_) {
            return;
        }
        if (token_.empty()) {
            token_ = new_batch_token();
        }
        try {
            save_owed_with_room(kept_in_, {token_, resolved()});
            kept_count_ = owed_.size();
            kept_last_ = owed_.back().sequence;
            not_kept_.clear();
        } catch (const NumberedError& e) {
            not_kept_ = e.what();
        }
    }

    void tell_refused() {
        std::string text = "No se pudo escribir en la bitácora de envíos de la base de datos (" +
                           cause_ + ").\r\nLos envíos y las recepciones siguen. ";
        text += not_kept_.empty()
                    ? "Lo que falta anotar se guarda en " + kept_in_.string() +
                          " y se anotará en cuanto la base de datos lo permita, en esta ejecución "
                          "o en la próxima que abra la oficina."
                    : "Lo que falta anotar se anotará si la base de datos lo permite antes de "
                      "que el programa termine.";
        tell(text);
    }

    void tell(const std::string& text) {
        if (told_) {
            return;
        }
        told_ = true;
        const std::lock_guard lock(listener_mutex_);
        if (trouble_) {
            trouble_(text);
        }
    }

    std::unique_ptr<SQLite::Database> db_;
    std::map<JournalId, std::int64_t> rows_;  // handle -> row id, once the row exists
    bool told_ = false;                       // the writing thread's own
    const std::filesystem::path kept_in_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable settled_;
    std::deque<Owed> owed_;
    std::deque<Owed> delivering_;  // the batch under way: read by others, changed under lock
    std::map<JournalId, std::int64_t> adopted_;
    std::string token_;  // of the batch in the file, once there is one
    std::size_t kept_count_ = 0;
    std::uint64_t kept_last_ = 0;
    std::string cause_;     // why the database last refused a batch
    std::string not_kept_;  // why the file could not be written
    std::uint64_t pushed_ = 0;
    std::uint64_t attempted_ = 0;  // the last sequence number a delivery has tried
    bool busy_ = false;
    bool stop_ = false;
    std::mutex listener_mutex_;
    TroubleListener trouble_;
    std::thread thread_;  // last: started once everything else is ready
};

int overdue_minutes(const ParametersRecord& params) {
    return static_cast<int>(params.bounded_number(Param::min_atraso));
}

std::string Journal::Ending::text() const {
    if (unrecorded.empty()) {
        return {};
    }
    std::string files;
    for (const std::string& name : unrecorded) {
        files += (files.empty() ? "" : ", ") + name;
    }
    std::string text = "La bitácora de envíos no se pudo escribir en la base de datos (" + cause +
                       "): no quedó anotado lo ocurrido con " + files + ".";
    if (not_kept.empty()) {
        return text + " Se guardó en " + kept_in.string() +
               " y se anotará cuando un programa de Ordano vuelva a abrir esta oficina.";
    }
    return text + " Tampoco se pudo guardar en " + kept_in.string() + " (" + not_kept +
           "): se perdió.";
}

Journal::Journal(const std::filesystem::path& database, const Clock& clock)
    : clock_(clock), file_(database) {
    try {
        reader_ = std::make_unique<SQLite::Database>(database.string(), SQLite::OPEN_READWRITE);
        reader_->setBusyTimeout(kBusyTimeoutMs);
    } catch (const SQLite::Exception& e) {
        throw StartupError("No se pudo abrir la bitácora de envíos en " + database.string() + ": " +
                           e.what());
    }
    thread_ = std::make_unique<Thread>(database);
}

Journal::~Journal() {
    if (!ending_) {
        close();
    }
}

Journal::Ending Journal::close() {
    if (!ending_) {
        thread_->on_trouble(nullptr);
        ending_ = thread_->stop();
    }
    return *ending_;
}

void Journal::on_trouble(TroubleListener listener) {
    thread_->on_trouble(std::move(listener));
}

bool Journal::flush() {
    return thread_->flush();
}

std::size_t Journal::owed() const {
    return thread_->owed();
}

std::optional<OwedBatch> Journal::kept_batch(std::vector<std::string>& notices) {
    const std::filesystem::path& file = thread_->kept_in();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return std::nullopt;
    }
    std::size_t unreadable = 0;
    std::optional<OwedBatch> batch = load_owed(file, unreadable);
    if (!batch) {
        notices.push_back("El archivo " + file.string() +
                          " no se pudo leer como anotaciones pendientes de la bitácora de "
                          "envíos; se dejó como está.");
        return std::nullopt;
    }
    if (unreadable > 0) {
        notices.push_back(std::to_string(unreadable) + " anotaciones pendientes de " +
                          file.string() + " no se pudieron leer y se dejaron fuera.");
    }
    try {
        SQLite::Statement done(*reader_, "SELECT 1 FROM BITACORA_LOTES WHERE lote = ?");
        done.bind(1, batch->token);
        if (done.executeStep()) {
            std::filesystem::remove(file, ec);  // written already, by a program that ended then
            return std::nullopt;
        }
    } catch (const SQLite::Exception&) {
        // Not known yet: the batch carries its token and is written once anyway.
    }
    return batch;
}

std::vector<std::string> Journal::take_up_owed() {
    std::vector<std::string> notices;
    std::optional<OwedBatch> batch = kept_batch(notices);
    if (!batch) {
        return notices;
    }
    // The handles of the program that kept them stand for new ones here.
    std::map<JournalId, JournalId> handles;
    std::map<JournalId, std::int64_t> rows;
    for (JournalChange& change : batch->changes) {
        auto [it, fresh] = handles.try_emplace(change.entry, 0);
        if (fresh) {
            it->second = new_handle();
        }
        change.entry = it->second;
        if (change.row != 0) {
            rows[change.entry] = change.row;
        }
    }
    thread_->take_up(batch->token);
    thread_->adopt(std::move(rows));
    for (JournalChange& change : batch->changes) {
        write(std::move(change));
    }
    flush();
    return notices;
}

std::unique_ptr<SQLite::Database> Journal::with_kept_writes(std::set<std::int64_t>& owed_rows,
                                                            std::vector<std::string>& notices) {
    const std::optional<OwedBatch> batch = kept_batch(notices);
    if (!batch) {
        return nullptr;
    }
    auto copy = std::make_unique<SQLite::Database>(":memory:", SQLite::OPEN_READWRITE);
    SQLite::Backup(*copy, *reader_).executeStep();
    std::vector<const JournalChange*> changes;
    for (const JournalChange& change : batch->changes) {
        changes.push_back(&change);
    }
    const std::map<JournalId, std::int64_t> none;
    Rows rows(none);
    std::vector<std::string> lost;
    SQLite::Transaction transaction(*copy);
    write_batch(*copy, batch->token, changes, rows, lost);
    transaction.commit();
    for (const JournalChange& change : batch->changes) {
        if (const std::int64_t row = rows.of(change); row != 0) {
            owed_rows.insert(row);
        }
    }
    return copy;
}

std::optional<std::string> Journal::owed_sent(std::string_view listed,
                                              std::string_view on_disk) const {
    const std::vector<JournalChange> owed = thread_->owed_changes();
    for (auto it = owed.rbegin(); it != owed.rend(); ++it) {
        if (it->kind == Kind::Sent && (it->file.name == listed || it->file.name == on_disk)) {
            return it->sha256;
        }
    }
    return std::nullopt;
}

JournalChange Journal::change(JournalChange::Kind kind, JournalId id) {
    JournalChange change;
    change.kind = kind;
    change.entry = id;
    change.at = iso_timestamp(clock_.now());
    if (const auto it = memo_.find(id); it != memo_.end()) {
        change.file.name = it->second.name;
    }
    return change;
}

void Journal::write(JournalChange change) {
    thread_->push(std::move(change));
}

JournalId Journal::listed(const ListedFile& file) {
    const JournalId id = new_handle();
    memo_[id].name = file.name;
    JournalChange listed = change(Kind::Listed, id);
    listed.file = file;
    write(std::move(listed));
    return id;
}

void Journal::withdrawn(JournalId id) {
    write(change(Kind::Withdrawn, id));
    memo_.erase(id);
}

void Journal::upload_started(JournalId id, const FileDigest& digest,
                             const std::string& remote_folder) {
    memo_[id].sha256 = digest.sha256;
    memo_[id].remote_folder = remote_folder;
    JournalChange started = change(Kind::UploadStarted, id);
    started.size = static_cast<std::int64_t>(digest.size);
    started.sha256 = digest.sha256;
    started.remote_folder = remote_folder;
    write(std::move(started));
}

void Journal::sent(JournalId id, const ExpectedAnswers& expected, std::string_view way) {
    JournalChange sent = change(Kind::Sent, id);
    sent.expected = expected;
    sent.text = std::string(way);
    sent.sha256 = memo_[id].sha256;
    memo_[id].failure = {};
    write(std::move(sent));
}

void Journal::unconfirmed(JournalId id) {
    write(change(Kind::Unconfirmed, id));
}

bool Journal::may_be_on_server(JournalId id) {
    const auto it = memo_.find(id);
    if (it == memo_.end() || it->second.sha256.empty()) {
        return false;
    }
    flush();
    try {
        SQLite::Statement query(*reader_,
                                "SELECT 1 FROM BITACORA WHERE sin_confirmar = 1 AND archivo = ? "
                                "AND carpeta_remota = ? AND sha256 = ? LIMIT 1");
        query.bind(1, it->second.name);
        query.bind(2, it->second.remote_folder);
        query.bind(3, it->second.sha256);
        return query.executeStep();
    } catch (const SQLite::Exception&) {
        return true;  // the journal cannot tell: the server is asked
    }
}

constexpr const char* kCutShortRows =
    "SELECT id, archivo FROM BITACORA WHERE pendiente = 1 AND enviado IS NULL AND envio_inicio "
    "IS NOT NULL";

// The process that began these uploads is gone (one program holds the office, and a sending
// run starts with none of its own under way): they are not sent, and their end was never
// confirmed.
void Journal::mark_cut_short() {
    flush();
    std::vector<std::pair<std::int64_t, std::string>> cut_short;
    try {
        SQLite::Statement cut(*reader_, kCutShortRows);
        while (cut.executeStep()) {
            cut_short.emplace_back(cut.getColumn(0).getInt64(), text_of(cut, 1));
        }
    } catch (const SQLite::Exception&) {
        // Read again by whoever reads the open entries, where a failure is said.
    }
    for (const auto& [row, name] : cut_short) {
        JournalChange cut = change(Kind::CutShort, 0);
        cut.row = row;
        cut.file.name = name;
        write(std::move(cut));
    }
    if (!cut_short.empty()) {
        flush();
    }
}

std::vector<Journal::UnconfirmedUpload> Journal::unconfirmed_uploads() {
    mark_cut_short();
    std::vector<UnconfirmedUpload> uploads;
    try {
        SQLite::Statement query(*reader_,
                                "SELECT DISTINCT carpeta_remota, archivo FROM BITACORA WHERE "
                                "sin_confirmar = 1 AND carpeta_remota IS NOT NULL "
                                "ORDER BY id DESC LIMIT 50");
        while (query.executeStep()) {
            uploads.push_back({text_of(query, 0), text_of(query, 1)});
        }
    } catch (const SQLite::Exception&) {
        // Nothing to clean up that the journal can name.
    }
    return uploads;
}

void Journal::handed_over(JournalId id, const ExpectedAnswers& expected) {
    JournalChange handed = change(Kind::HandedOver, id);
    handed.expected = expected;
    memo_[id].failure = {};
    write(std::move(handed));
}

void Journal::send_failed(JournalId id, int number, const std::string& text) {
    memo_[id].failure = {number, text};
    JournalChange failure = change(Kind::SendFailed, id);
    failure.number = number;
    failure.text = text;
    write(std::move(failure));
}

void Journal::failed(JournalId id, int number, const std::string& text) {
    auto& last = memo_[id].failure;
    if (last.first == number && last.second == text) {
        return;
    }
    last = {number, text};
    JournalChange failure = change(Kind::Failed, id);
    failure.number = number;
    failure.text = text;
    write(std::move(failure));
}

void Journal::answer_stored(JournalId id, AnswerRole role, const std::string& path,
                            AnswerVerdict verdict, bool complete) {
    memo_[id].failure = {};
    JournalChange stored = change(Kind::AnswerStored, id);
    stored.role = role;
    stored.text = path;
    stored.verdict = verdict;
    stored.complete = complete;
    write(std::move(stored));
    if (complete) {
        memo_.erase(id);
    }
}

void Journal::no_longer_awaited(JournalId id) {
    write(change(Kind::NoLongerAwaited, id));
    memo_.erase(id);
}

void Journal::reception_stopped(JournalId id) {
    write(change(Kind::Stopped, id));
    memo_.erase(id);
}

namespace {

constexpr const char* kOpenEntries =
    "SELECT id, archivo, ruta_local, icono, ruta_pre, ruta_val, pendiente, esperando, "
    "prev_archivo, prev_carpeta, val_archivo, val_carpeta, val_destino, prev_llegada, "
    "val_llegada, espera_desde, enviado IS NOT NULL FROM BITACORA WHERE esperando = 1 OR "
    "pendiente = 1 ORDER BY id";

OpenEntry read_open_entry(SQLite::Statement& q, const LocalDateTime& now) {
    OpenEntry entry;
    entry.row = q.getColumn(0).getInt64();
    entry.file = {text_of(q, 1), text_of(q, 2), text_of(q, 3), text_of(q, 4), text_of(q, 5)};
    entry.pending = q.getColumn(6).getInt64() == 1;
    entry.awaiting = q.getColumn(7).getInt64() == 1;
    entry.expected = {text_of(q, 8), text_of(q, 9), text_of(q, 10), text_of(q, 11), text_of(q, 12)};
    entry.prev_in = !q.getColumn(13).isNull();
    entry.val_in = !q.getColumn(14).isNull();
    entry.awaiting_since = parse_iso_timestamp(text_of(q, 15)).value_or(now);
    entry.uploaded = q.getColumn(16).getInt64() == 1;
    return entry;
}

// Why an open row cannot be put back on its list; "" when it can.
std::string damage_of(const OpenEntry& entry) {
    if (entry.file.name.empty()) {
        return "no tiene nombre de archivo";
    }
    if (entry.awaiting && entry.expected.val_name.empty()) {
        return "espera respuestas sin el nombre de la respuesta de validación";
    }
    const std::array<std::string_view, 3> names = {entry.file.name, entry.expected.prev_name,
                                                   entry.expected.val_name};
    return names_damage(names);
}

// The entries as the changes still owed leave them: the database does not have them yet.
void apply_owed(std::vector<OpenEntry>& entries, const std::vector<JournalChange>& owed,
                const LocalDateTime& now) {
    for (const JournalChange& change : owed) {
        auto it = std::ranges::find_if(entries, [&change](const OpenEntry& entry) {
            return change.row != 0 ? entry.row == change.row : entry.id == change.entry;
        });
        if (it == entries.end()) {
            OpenEntry made;
            made.id = change.entry;
            made.row = change.row;
            made.file = change.file;
            made.pending = change.kind == Kind::Listed;
            it = entries.insert(entries.end(), std::move(made));
        }
        switch (change.kind) {
            case Kind::Withdrawn:
                it->pending = false;
                break;
            case Kind::Sent:
            case Kind::HandedOver:
                it->pending = false;
                it->awaiting = true;
                it->uploaded = change.kind == Kind::Sent;
                it->expected = change.expected;
                it->prev_in = it->val_in = false;
                it->awaiting_since = parse_iso_timestamp(change.at).value_or(now);
                break;
            case Kind::AnswerStored:
                (change.role == AnswerRole::Prevalidation ? it->prev_in : it->val_in) = true;
                it->awaiting = it->awaiting && !change.complete;
                break;
            case Kind::NoLongerAwaited:
                it->awaiting = false;
                break;
            default:
                break;
        }
    }
    std::erase_if(entries,
                  [](const OpenEntry& entry) { return !entry.pending && !entry.awaiting; });
}

}  // namespace

std::vector<OpenEntry> Journal::reopen(std::vector<std::string>& damaged) {
    mark_cut_short();
    std::vector<OpenEntry> entries;
    const LocalDateTime at = clock_.now();
    try {
        SQLite::Statement query(*reader_, kOpenEntries);
        while (query.executeStep()) {
            entries.push_back(read_open_entry(query, at));
        }
    } catch (const SQLite::Exception& e) {
        damaged.push_back(std::string("La bitácora de envíos no se pudo leer: ") + e.what());
    }
    apply_owed(entries, thread_->owed_changes(), at);
    std::map<JournalId, std::int64_t> rows;
    std::vector<OpenEntry> sound;
    for (OpenEntry& entry : entries) {
        if (const std::string damage = damage_of(entry); !damage.empty()) {
            damaged.push_back("Registro " + std::to_string(entry.row) +
                              " de la bitácora: " + damage + ".");
            continue;
        }
        if (entry.id == 0) {
            entry.id = new_handle();
        }
        if (entry.row != 0) {
            rows[entry.id] = entry.row;
        }
        memo_[entry.id].name = entry.file.name;
        sound.push_back(std::move(entry));
    }
    // The writing thread learns which rows the new handles stand for before anything else.
    thread_->adopt(std::move(rows));
    return sound;
}

}  // namespace ordano
