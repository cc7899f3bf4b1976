#include "store/Journal.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <array>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "store/Errors.h"
#include "store/NestedSavepoint.h"
#include "store/Parameters.h"
#include "store/Sha256.h"
#include "store/TimeStamps.h"

namespace ordano {
namespace {

// How long a write waits for a database another connection holds before it is owed.
constexpr int kBusyTimeoutMs = 1000;
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

std::string kind_of(const std::string& name) {
    return name.empty()
               ? std::string()
               : std::string(1,
                             static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))));
}

std::string text_of(SQLite::Statement& query, int column) {
    const auto value = query.getColumn(column);
    return value.isNull() ? std::string() : value.getString();
}

// One statement with its values, run at once.
template <typename... Values>
void run(SQLite::Database& db, const char* sql, const Values&... values) {
    SQLite::Statement statement(db, sql);
    int position = 1;
    (statement.bind(position++, values), ...);
    statement.exec();
}

}  // namespace

std::string_view verdict_status(AnswerVerdict verdict) {
    switch (verdict) {
        case AnswerVerdict::Prevalidated:
            return "prevalidado";
        case AnswerVerdict::Accepted:
            return "aceptado";
        case AnswerVerdict::Rejected:
            return "rechazado";
        case AnswerVerdict::Unreadable:
            break;
    }
    return "error";
}

// What an owed write sees: the database and the rows of the handles, including those made
// earlier in the same batch.
class Journal::Writer {
public:
    Writer(SQLite::Database& db, const std::map<JournalId, std::int64_t>& known)
        : db(db), known_(known) {}

    [[nodiscard]] std::optional<std::int64_t> row(JournalId id) const {
        if (const auto it = made.find(id); it != made.end()) {
            return it->second;
        }
        if (const auto it = known_.find(id); it != known_.end()) {
            return it->second;
        }
        return std::nullopt;  // its row could never be made
    }

    SQLite::Database& db;
    std::map<JournalId, std::int64_t> made;

private:
    const std::map<JournalId, std::int64_t>& known_;
};

// The writing thread: owns its connection and the rows of the handles, takes the owed writes
// in order and delivers them in batches, one transaction each.
class Journal::Thread {
public:
    explicit Thread(const std::filesystem::path& database) {
        try {
            db_ = std::make_unique<SQLite::Database>(database.string(), SQLite::OPEN_READWRITE);
            db_->setBusyTimeout(kBusyTimeoutMs);
        } catch (const SQLite::Exception& e) {
            throw StartupError("No se pudo abrir la bitácora de envíos en " + database.string() +
                               ": " + e.what());
        }
        thread_ = std::thread([this] { run(); });
    }

    ~Thread() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void push(Op op) {
        {
            const std::lock_guard lock(mutex_);
            owed_.push_back({++pushed_, std::move(op)});
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
        return owed_.size() + in_flight_;
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

private:
    struct Owed {
        std::uint64_t sequence;
        Op op;
    };

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || !owed_.empty(); });
            if (owed_.empty()) {
                return;
            }
            rows_.merge(adopted_);
            std::deque<Owed> batch;
            batch.swap(owed_);
            busy_ = true;
            in_flight_ = batch.size();
            lock.unlock();
            const bool delivered = deliver(batch);
            lock.lock();
            busy_ = false;
            in_flight_ = 0;
            attempted_ = batch.back().sequence;
            if (!delivered) {
                owed_.insert(owed_.begin(), std::make_move_iterator(batch.begin()),
                             std::make_move_iterator(batch.end()));
            }
            settled_.notify_all();
            if (!delivered) {
                if (stop_) {
                    return;  // the last try at the end of the run
                }
                const std::size_t waiting = owed_.size();
                wake_.wait_for(lock, kRetryInterval,
                               [&] { return stop_ || owed_.size() > waiting; });
            }
        }
    }

    // One transaction for the batch; a write that cannot be done because of what it holds is
    // left out alone. false when the database refused the batch for now.
    bool deliver(const std::deque<Owed>& batch) {
        std::vector<std::string> lost;
        try {
            Writer writer(*db_, rows_);
            SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
            for (const Owed& owed : batch) {
                // An entry's write that cannot be done is undone alone.
                NestedSavepoint savepoint(*db_, "journal_op");
                try {
                    owed.op(writer);
                    savepoint.release();
                } catch (const SQLite::Exception& e) {
                    if (passes(e)) {
                        throw;
                    }
                    lost.emplace_back(e.what());
                }
            }
            transaction.commit();
            rows_.merge(writer.made);
        } catch (const SQLite::Exception& e) {
            tell(e.what());
            return false;
        }
        if (!lost.empty()) {
            tell("no se pudo registrar: " + lost.front());
        } else {
            told_ = false;
        }
        return true;
    }

    void tell(const std::string& cause) {
        if (told_) {
            return;
        }
        told_ = true;
        const std::lock_guard lock(listener_mutex_);
        if (trouble_) {
            trouble_("No se pudo escribir en la bitácora de envíos de la base de datos (" + cause +
                     ").\r\nLos envíos y las recepciones siguen; la bitácora se pondrá al día en "
                     "cuanto se pueda escribir en ella.");
        }
    }

    std::unique_ptr<SQLite::Database> db_;
    std::map<JournalId, std::int64_t> rows_;  // handle -> row id, once the row exists
    bool told_ = false;                       // the writing thread's own

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable settled_;
    std::deque<Owed> owed_;
    std::map<JournalId, std::int64_t> adopted_;
    std::uint64_t pushed_ = 0;
    std::uint64_t attempted_ = 0;  // the last sequence number a delivery has tried
    std::size_t in_flight_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    std::mutex listener_mutex_;
    TroubleListener trouble_;
    std::thread thread_;  // last: started once everything else is ready
};

int overdue_minutes(const ParametersRecord& params) {
    // A limit that is not a positive number of minutes would make every answer overdue.
    const std::int64_t minutes = params.number(Param::min_atraso);
    return minutes >= 1 && minutes <= kMaxOverdueMinutes ? static_cast<int>(minutes)
                                                         : kDefaultOverdueMinutes;
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

Journal::~Journal() = default;

void Journal::on_trouble(TroubleListener listener) {
    thread_->on_trouble(std::move(listener));
}

bool Journal::flush() {
    return thread_->flush();
}

std::size_t Journal::owed() const {
    return thread_->owed();
}

std::string Journal::now() const {
    return iso_timestamp(clock_.now());
}

void Journal::write(Op op) {
    thread_->push(std::move(op));
}

JournalId Journal::listed(const ListedFile& file) {
    const JournalId id = new_handle();
    write([id, file, at = now()](Writer& w) {
        run(w.db,
            "INSERT INTO BITACORA (archivo, tipo, ruta_local, icono, ruta_pre, ruta_val, estado, "
            "pendiente, esperando, momento, en_lista) VALUES (?, ?, ?, ?, ?, ?, 'en envío', 1, 0, "
            "?, ?)",
            file.name, kind_of(file.name), file.local_path, file.icono, file.ruta_pre,
            file.ruta_val, at, at);
        w.made[id] = w.db.getLastInsertRowid();
    });
    return id;
}

void Journal::withdrawn(JournalId id) {
    last_failure_.erase(id);
    write([id](Writer& w) {
        const auto row = w.row(id);
        if (!row) {
            return;
        }
        // A file that never left and met no failure leaves no trace.
        run(w.db,
            "DELETE FROM BITACORA WHERE id = ? AND enviado IS NULL AND espera_desde IS NULL AND "
            "NOT EXISTS (SELECT 1 FROM BITACORA_FALLAS WHERE entrada = ?)",
            *row, *row);
        run(w.db, "UPDATE BITACORA SET pendiente = 0 WHERE id = ?", *row);
    });
}

void Journal::upload_started(JournalId id, const FileDigest& digest,
                             const std::string& remote_folder) {
    write([id, digest, remote_folder, at = now()](Writer& w) {
        if (const auto row = w.row(id)) {
            run(w.db,
                "UPDATE BITACORA SET envio_inicio = ?, tamano = ?, sha256 = ?, carpeta_remota = ? "
                "WHERE id = ?",
                at, static_cast<std::int64_t>(digest.size), digest.sha256, remote_folder, *row);
        }
    });
}

namespace {

void await_answers(SQLite::Database& db, std::int64_t row, const ExpectedAnswers& expected,
                   const std::string& at, bool uploaded) {
    run(db,
        "UPDATE BITACORA SET momento = ?, espera_desde = ?, estado = 'esperando', pendiente = 0, "
        "esperando = 1, prev_archivo = ?, prev_carpeta = ?, val_archivo = ?, val_carpeta = ?, "
        "val_destino = ? WHERE id = ?",
        at, at, expected.prev_name, expected.prev_folder, expected.val_name, expected.val_folder,
        expected.val_destination, row);
    if (uploaded) {
        run(db, "UPDATE BITACORA SET enviado = ? WHERE id = ?", at, row);
    }
}

void insert_failure(SQLite::Database& db, std::int64_t row, const std::string& at, int number,
                    const std::string& text) {
    run(db, "INSERT INTO BITACORA_FALLAS (entrada, momento, numero, texto) VALUES (?, ?, ?, ?)",
        row, at, number, text);
}

}  // namespace

void Journal::sent(JournalId id, const ExpectedAnswers& expected) {
    last_failure_.erase(id);
    write([id, expected, at = now()](Writer& w) {
        if (const auto row = w.row(id)) {
            await_answers(w.db, *row, expected, at, true);
        }
    });
}

void Journal::handed_over(JournalId id, const ExpectedAnswers& expected) {
    last_failure_.erase(id);
    write([id, expected, at = now()](Writer& w) {
        if (const auto row = w.row(id)) {
            await_answers(w.db, *row, expected, at, false);
        }
    });
}

void Journal::send_failed(JournalId id, int number, const std::string& text) {
    last_failure_[id] = {number, text};
    write([id, number, text, at = now()](Writer& w) {
        if (const auto row = w.row(id)) {
            run(w.db, "UPDATE BITACORA SET envio_inicio = NULL, estado = 'error' WHERE id = ?",
                *row);
            insert_failure(w.db, *row, at, number, text);
        }
    });
}

void Journal::failed(JournalId id, int number, const std::string& text) {
    auto& last = last_failure_[id];
    if (last.first == number && last.second == text) {
        return;
    }
    last = {number, text};
    write([id, number, text, at = now()](Writer& w) {
        if (const auto row = w.row(id)) {
            insert_failure(w.db, *row, at, number, text);
        }
    });
}

void Journal::answer_stored(JournalId id, AnswerRole role, const std::string& path,
                            AnswerVerdict verdict, bool complete) {
    last_failure_.erase(id);
    write([id, role, path, verdict, complete, at = now()](Writer& w) {
        const auto row = w.row(id);
        if (!row) {
            return;
        }
        if (role == AnswerRole::Prevalidation) {
            run(w.db,
                "UPDATE BITACORA SET prev_llegada = COALESCE(prev_llegada, ?), prev_ruta = ?, "
                "estado = CASE WHEN val_llegada IS NULL THEN 'prevalidado' ELSE estado END "
                "WHERE id = ?",
                at, path, *row);
        } else {
            run(w.db,
                "UPDATE BITACORA SET val_llegada = COALESCE(val_llegada, ?), val_ruta = ?, "
                "estado = ? WHERE id = ?",
                at, path, std::string(verdict_status(verdict)), *row);
            if (verdict == AnswerVerdict::Unreadable) {
                insert_failure(
                    w.db, *row, at, 0,
                    "No se pudo leer la respuesta " + path + " para saber si fue aceptada.");
            }
        }
        if (complete) {
            run(w.db, "UPDATE BITACORA SET esperando = 0 WHERE id = ?", *row);
        }
    });
}

void Journal::no_longer_awaited(JournalId id) {
    write([id](Writer& w) {
        if (const auto row = w.row(id)) {
            run(w.db,
                "UPDATE BITACORA SET esperando = 0, estado = CASE WHEN estado = 'esperando' THEN "
                "'enviado' ELSE estado END WHERE id = ?",
                *row);
        }
    });
}

namespace {

constexpr const char* kCutShort =
    "El envío se interrumpió antes de terminar (el programa se cerró); el archivo no se dio por "
    "enviado.";

constexpr const char* kCutShortRows =
    "SELECT id FROM BITACORA WHERE pendiente = 1 AND enviado IS NULL AND envio_inicio IS NOT "
    "NULL";

constexpr const char* kOpenEntries =
    "SELECT id, archivo, ruta_local, icono, ruta_pre, ruta_val, pendiente, esperando, "
    "prev_archivo, prev_carpeta, val_archivo, val_carpeta, val_destino, prev_llegada, "
    "val_llegada, espera_desde FROM BITACORA WHERE esperando = 1 OR pendiente = 1 ORDER BY id";

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

}  // namespace

std::vector<OpenEntry> Journal::reopen(std::vector<std::string>& damaged) {
    flush();
    // The process that began these uploads is gone: they are not sent.
    std::vector<std::int64_t> cut_short;
    try {
        SQLite::Statement cut(*reader_, kCutShortRows);
        while (cut.executeStep()) {
            cut_short.push_back(cut.getColumn(0).getInt64());
        }
    } catch (const SQLite::Exception&) {
        // Read again below, where a failure is said.
    }
    if (!cut_short.empty()) {
        write([cut_short, at = now()](Writer& w) {
            for (const std::int64_t row : cut_short) {
                run(w.db,
                    "UPDATE BITACORA SET envio_inicio = NULL, estado = 'error' WHERE id = ? AND "
                    "enviado IS NULL",
                    row);
                insert_failure(w.db, row, at, 0, kCutShort);
            }
        });
        flush();
    }
    std::vector<OpenEntry> entries;
    try {
        SQLite::Statement query(*reader_, kOpenEntries);
        const LocalDateTime at = clock_.now();
        while (query.executeStep()) {
            OpenEntry entry = read_open_entry(query, at);
            if (const std::string damage = damage_of(entry); !damage.empty()) {
                damaged.push_back("Registro " + std::to_string(entry.row) +
                                  " de la bitácora: " + damage + ".");
                continue;
            }
            entry.id = new_handle();
            entries.push_back(std::move(entry));
        }
    } catch (const SQLite::Exception& e) {
        damaged.push_back(std::string("La bitácora de envíos no se pudo leer: ") + e.what());
    }
    // The writing thread learns which rows the new handles stand for before anything else.
    std::map<JournalId, std::int64_t> rows;
    for (const OpenEntry& entry : entries) {
        rows[entry.id] = entry.row;
    }
    thread_->adopt(std::move(rows));
    return entries;
}

}  // namespace ordano
