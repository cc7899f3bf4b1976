// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "office/JournalStatus.h"

namespace SQLite {
class Database;
}

namespace ordano {

// Which journal rows a history shows. Empty members do not filter.
struct HistoryFilter {
    std::optional<std::chrono::year_month_day> since;  // first day, inclusive
    std::optional<std::chrono::year_month_day> until;  // last day, inclusive
    std::string kind;                                  // kind letter, e.g. "M"
    std::optional<JourneyStatus> status;
    std::string text;            // part of the file name, letter case ignored
    bool awaiting_only = false;  // only files with an answer still awaited
};

enum class HistoryColumn { Moment, File, Kind, Status, Answers };
struct HistoryOrder {
    HistoryColumn column = HistoryColumn::Moment;
    bool descending = true;
};

// One answer of an entry: expected, and once in, when and where it was stored.
struct AnswerRecord {
    AnswerRole role = AnswerRole::Validation;
    std::string name;
    std::string remote_folder;
    std::string received_at;  // "" while awaited
    std::string stored_path;  // "" while awaited
};

struct FailureRecord {
    int number = 0;
    std::string text;
    std::string at;
};

// One row of the history list, or everything the journal knows of an entry (`detailed`).
struct JournalRecord {
    std::int64_t id = 0;
    std::string moment;  // ISO local time: sent, handed to reception, or put on the send list
    std::string file;
    std::string kind;
    std::string status;  // a status_text(), or what a damaged row holds
    std::vector<AnswerRecord> answers;
    // Filled only by JournalReader::records().
    std::string local_path;
    std::string listed_at;
    std::string sent_at;  // "" when not sent
    std::string remote_folder;
    std::optional<std::int64_t> size;
    std::string sha256;
    std::string upload_way;  // "renombrado" (stored aside, then renamed) or "directo"; "" before
    std::string awaiting_since;
    bool awaiting = false;
    std::vector<FailureRecord> failures;
    // Why the row cannot be read as the journal writes it; "" for a sound row.
    std::string damage;
    // Some of it is kept only in the file beside the database, not written there yet.
    bool owed = false;

    // The answers as one line: received names, then awaited ones with "(esperando)".
    [[nodiscard]] std::string answers_text() const;
};

struct HistorySummary {
    std::int64_t sent = 0;
    std::int64_t awaiting = 0;
    std::int64_t overdue = 0;
    std::int64_t accepted = 0;
    std::int64_t rejected = 0;
    std::int64_t handed_over = 0;  // handed to reception, no answer in, none awaited
    std::int64_t failed = 0;       // not sent: the last attempt failed

    // "Enviados: 3   En espera: 1   Atrasados: 0   Aceptados: 2   Rechazados: 0
    // Recepción manual: 0   Errores: 1" (on one line)
    [[nodiscard]] std::string text() const;
};

// Reads the journal for histories: counts, pages of rows, the summary and full records.
// An awaited file is overdue once it has waited `overdue_minutes` as of `now`.
class JournalReader {
public:
    JournalReader(SQLite::Database& db, const LocalDateTime& now, int overdue_minutes);

    [[nodiscard]] std::int64_t count(const HistoryFilter& filter) const;
    [[nodiscard]] std::vector<JournalRecord> rows(const HistoryFilter& filter, HistoryOrder order,
                                                  std::int64_t offset, std::int64_t limit) const;
    [[nodiscard]] HistorySummary summary(const HistoryFilter& filter) const;
    // Rows with every detail, answers and failures included.
    [[nodiscard]] std::vector<JournalRecord> records(const HistoryFilter& filter,
                                                     HistoryOrder order) const;
    // The most recent entry of this file name (for "was it sent, and were these the bytes?").
    [[nodiscard]] std::optional<JournalRecord> latest_of(const std::string& file) const;

private:
    SQLite::Database& db_;
    std::string cutoff_;
};

}  // namespace ordano
