// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "office/JournalStatus.h"

namespace SQLite {
class Database;
}

namespace ordano {

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

// One change of a file's journey, as data: it waits in memory until the database takes it,
// and while the database refuses it, it is kept in a file beside the database for this
// process or the next one to write.
struct JournalChange {
    enum class Kind {
        Listed,           // put on a send list (`file`)
        Withdrawn,        // taken off it unsent
        UploadStarted,    // `size`, `sha256` of the working copy, into `remote_folder`
        Sent,             // the upload finished (`sha256`), going up the way `text` says
                          // ("renombrado", "directo"); `expected` answers awaited
        HandedOver,       // to reception without an upload; `expected` answers awaited
        SendFailed,       // the attempt to send failed: `number`, `text`
        Failed,           // a failure met on the way: `number`, `text`
        AnswerStored,     // `role` stored at `text`, saying `verdict`; `complete`
        NoLongerAwaited,  // taken off the receive list, reception stopped
        CutShort,         // an upload a program that ended had begun: not sent
        Stopped,          // answers awaited when reception was stopped by hand
        Unconfirmed,      // the upload's end was never confirmed: ask the server before more
    };

    Kind kind = Kind::Listed;
    JournalId entry = 0;   // the entry's handle in the process that holds the change
    std::int64_t row = 0;  // the entry's row once known; 0 while a Listed change makes it
    std::string at;        // when it happened, ISO local time
    ListedFile file;       // the entry's file: its name always, all of it for Listed
    ExpectedAnswers expected;
    std::int64_t size = 0;
    std::string sha256;
    std::string remote_folder;
    int number = 0;
    std::string text;
    AnswerRole role = AnswerRole::Validation;
    AnswerVerdict verdict = AnswerVerdict::Accepted;
    bool complete = false;

    // The change as one line of text (no line end), and back; nullopt for a line that is not
    // one.
    [[nodiscard]] std::string encoded() const;
    [[nodiscard]] static std::optional<JournalChange> decoded(std::string_view line);
};

// Writes the change into BITACORA and BITACORA_FALLAS for the entry's row (none for Listed,
// which makes it); returns the row.
std::int64_t write_change(SQLite::Database& db, const JournalChange& change, std::int64_t row);

}  // namespace ordano
