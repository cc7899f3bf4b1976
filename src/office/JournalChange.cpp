// SPDX-License-Identifier: Apache-2.0
#include "office/JournalChange.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <cctype>
#include <charconv>
#include <vector>

namespace ordano {
namespace {

// One statement with its values, run at once.
template <typename... Values>
void run(SQLite::Database& db, const char* sql, const Values&... values) {
    SQLite::Statement statement(db, sql);
    int position = 1;
    (statement.bind(position++, values), ...);
    statement.exec();
}

std::string kind_of(const std::string& name) {
    return name.empty()
               ? std::string()
               : std::string(1,
                             static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))));
}

void insert_failure(SQLite::Database& db, std::int64_t row, const std::string& at, int number,
                    const std::string& text) {
    run(db, "INSERT INTO BITACORA_FALLAS (entrada, momento, numero, texto) VALUES (?, ?, ?, ?)",
        row, at, number, text);
}

void await_answers(SQLite::Database& db, std::int64_t row, const JournalChange& change,
                   bool uploaded) {
    const ExpectedAnswers& expected = change.expected;
    run(db,
        "UPDATE BITACORA SET momento = ?, espera_desde = ?, estado = 'esperando', pendiente = 0, "
        "esperando = 1, prev_archivo = ?, prev_carpeta = ?, val_archivo = ?, val_carpeta = ?, "
        "val_destino = ? WHERE id = ?",
        change.at, change.at, expected.prev_name, expected.prev_folder, expected.val_name,
        expected.val_folder, expected.val_destination, row);
    if (uploaded) {
        run(db, "UPDATE BITACORA SET enviado = ?, via_envio = ?, sin_confirmar = 0 WHERE id = ?",
            change.at, change.text, row);
        // Earlier uploads of the name into that folder that were never confirmed are settled:
        // what the server holds under it now is this one.
        run(db,
            "UPDATE BITACORA SET sin_confirmar = 0 WHERE sin_confirmar = 1 AND archivo = "
            "(SELECT archivo FROM BITACORA WHERE id = ?1) AND carpeta_remota IS (SELECT "
            "carpeta_remota FROM BITACORA WHERE id = ?1)",
            row);
    }
}

void store_answer(SQLite::Database& db, std::int64_t row, const JournalChange& change) {
    if (change.role == AnswerRole::Prevalidation) {
        run(db,
            "UPDATE BITACORA SET prev_llegada = COALESCE(prev_llegada, ?), prev_ruta = ?, "
            "estado = CASE WHEN val_llegada IS NULL THEN 'prevalidado' ELSE estado END "
            "WHERE id = ?",
            change.at, change.text, row);
    } else {
        run(db,
            "UPDATE BITACORA SET val_llegada = COALESCE(val_llegada, ?), val_ruta = ?, "
            "estado = ? WHERE id = ?",
            change.at, change.text, std::string(verdict_status(change.verdict)), row);
        if (change.verdict == AnswerVerdict::Unreadable) {
            insert_failure(
                db, row, change.at, 0,
                "No se pudo leer la respuesta " + change.text + " para saber si fue aceptada.");
        }
    }
    if (change.complete) {
        run(db, "UPDATE BITACORA SET esperando = 0 WHERE id = ?", row);
    }
}

constexpr const char* kCutShort =
    "El envío se interrumpió antes de terminar (el programa se cerró); el archivo no se dio por "
    "enviado.";

// --- one change as a line: fields separated by tabs, each escaped -------------------------

constexpr char kSeparator = '\t';

void append_field(std::string& line, std::string_view field) {
    if (!line.empty()) {
        line += kSeparator;
    }
    for (const char c : field) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

std::optional<std::vector<std::string>> split_fields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == kSeparator) {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else if (++i < line.size()) {
            const char escaped = line[i];
            fields.back() += escaped == 't'   ? '\t'
                             : escaped == 'n' ? '\n'
                             : escaped == 'r' ? '\r'
                                              : escaped;
        } else {
            return std::nullopt;  // a line cut in the middle of an escape
        }
    }
    return fields;
}

template <typename Number>
bool parse(const std::string& text, Number& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

constexpr std::size_t kFieldCount = 22;

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

std::string JournalChange::encoded() const {
    std::string line;
    const auto number_field = [&line](auto value) { append_field(line, std::to_string(value)); };
    number_field(static_cast<int>(kind));
    number_field(entry);
    number_field(row);
    for (const std::string* text :
         {&at, &file.name, &file.local_path, &file.icono, &file.ruta_pre, &file.ruta_val,
          &expected.prev_name, &expected.prev_folder, &expected.val_name, &expected.val_folder,
          &expected.val_destination}) {
        append_field(line, *text);
    }
    number_field(size);
    append_field(line, sha256);
    append_field(line, remote_folder);
    number_field(number);
    append_field(line, text);
    number_field(static_cast<int>(role));
    number_field(static_cast<int>(verdict));
    number_field(complete ? 1 : 0);
    return line;
}

std::optional<JournalChange> JournalChange::decoded(std::string_view line) {
    const auto fields = split_fields(line);
    if (!fields || fields->size() != kFieldCount) {
        return std::nullopt;
    }
    const std::vector<std::string>& f = *fields;
    JournalChange change;
    int kind = 0;
    int role = 0;
    int verdict = 0;
    int complete = 0;
    const bool numbers = parse(f[0], kind) && parse(f[1], change.entry) &&
                         parse(f[2], change.row) && parse(f[14], change.size) &&
                         parse(f[17], change.number) && parse(f[19], role) &&
                         parse(f[20], verdict) && parse(f[21], complete);
    if (!numbers || kind < 0 || kind > static_cast<int>(Kind::Unconfirmed) || role < 0 ||
        role > 1 || verdict < 0 || verdict > static_cast<int>(AnswerVerdict::Unreadable)) {
        return std::nullopt;
    }
    change.kind = static_cast<Kind>(kind);
    change.at = f[3];
    change.file = {f[4], f[5], f[6], f[7], f[8]};
    change.expected = {f[9], f[10], f[11], f[12], f[13]};
    change.sha256 = f[15];
    change.remote_folder = f[16];
    change.text = f[18];
    change.role = static_cast<AnswerRole>(role);
    change.verdict = static_cast<AnswerVerdict>(verdict);
    change.complete = complete != 0;
    return change;
}

std::int64_t write_change(SQLite::Database& db, const JournalChange& change, std::int64_t row) {
    using Kind = JournalChange::Kind;
    switch (change.kind) {
        case Kind::Listed:
            run(db,
                "INSERT INTO BITACORA (archivo, tipo, ruta_local, icono, ruta_pre, ruta_val, "
                "estado, pendiente, esperando, momento, en_lista) VALUES (?, ?, ?, ?, ?, ?, "
                "'en envío', 1, 0, ?, ?)",
                change.file.name, kind_of(change.file.name), change.file.local_path,
                change.file.icono, change.file.ruta_pre, change.file.ruta_val, change.at,
                change.at);
            return db.getLastInsertRowid();
        case Kind::Withdrawn:
            // A file that never left and met no failure leaves no trace.
            run(db,
                "DELETE FROM BITACORA WHERE id = ? AND enviado IS NULL AND espera_desde IS NULL "
                "AND NOT EXISTS (SELECT 1 FROM BITACORA_FALLAS WHERE entrada = ?)",
                row, row);
            run(db, "UPDATE BITACORA SET pendiente = 0 WHERE id = ?", row);
            break;
        case Kind::UploadStarted:
            run(db,
                "UPDATE BITACORA SET envio_inicio = ?, tamano = ?, sha256 = ?, carpeta_remota = ? "
                "WHERE id = ?",
                change.at, change.size, change.sha256, change.remote_folder, row);
            break;
        case Kind::Sent:
        case Kind::HandedOver:
            await_answers(db, row, change, change.kind == Kind::Sent);
            break;
        case Kind::SendFailed:
            run(db, "UPDATE BITACORA SET envio_inicio = NULL, estado = 'error' WHERE id = ?", row);
            insert_failure(db, row, change.at, change.number, change.text);
            break;
        case Kind::Failed:
            insert_failure(db, row, change.at, change.number, change.text);
            break;
        case Kind::AnswerStored:
            store_answer(db, row, change);
            break;
        case Kind::NoLongerAwaited:
            // What was handed to reception without an upload was never sent by this office.
            run(db,
                "UPDATE BITACORA SET esperando = 0, estado = CASE WHEN estado <> 'esperando' THEN "
                "estado WHEN enviado IS NULL THEN 'recepción manual' ELSE 'enviado' END "
                "WHERE id = ?",
                row);
            break;
        case Kind::CutShort:
            run(db,
                "UPDATE BITACORA SET envio_inicio = NULL, estado = 'error', sin_confirmar = 1 "
                "WHERE id = ? AND enviado IS NULL",
                row);
            if (db.getChanges() > 0) {  // an upload whose end is written meanwhile was sent
                insert_failure(db, row, change.at, 0, kCutShort);
            }
            break;
        case Kind::Stopped:
            // An answer already in keeps its word; a file that had none is "detenido".
            run(db,
                "UPDATE BITACORA SET esperando = 0, estado = CASE WHEN estado = 'esperando' THEN "
                "'detenido' ELSE estado END WHERE id = ?",
                row);
            break;
        case Kind::Unconfirmed:
            run(db, "UPDATE BITACORA SET sin_confirmar = 1 WHERE id = ? AND enviado IS NULL", row);
            break;
    }
    return row;
}

}  // namespace ordano
