// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Transaction.h>

#include <cstdio>
#include <vector>

#include "base/Errors.h"
#include "base/FileOps.h"
#include "base/Scramble.h"
#include "catalog/ScheduledRows.h"
#include "catalog/ServerFiles.h"
#include "catalog/ServerUpdates.h"
#include "office/Office.h"
#include "office/Parameters.h"

namespace ordano {
namespace {

constexpr const char* kVersionList = "revactp.txt";

struct ParameterChange {
    int code = 0;
    std::string value;
    std::chrono::year_month_day day;
};

ParameterChange decode_line(const std::string& line, const std::string& name,
                            const LocaleFormats& locale) {
    const auto fields = closed_fields(line);
    if (fields.size() < 3) {
        throw NumberedError(error_number::kTypeMismatch,
                            "Una línea del archivo " + name + " no trae sus tres campos");
    }
    return {round_to_int16(unscramble(fields[0])), unscramble(fields[1]),
            parse_short_date(unscramble(fields[2]), locale)};
}

// The run-time value that start-up keeps for a column, if any.
std::string* run_time_value(Sesion& session, int code) {
    switch (code) {
        case 2:
            return &session.dir_val_in;
        case 5:
            return &session.dir_pag_in;
        case 9:
            return &session.dir_sag_in;
        case 11:
            return &session.dir_update;
        default:
            return nullptr;
    }
}

bool is_password_code(int code) {
    return code == 12 || code == 13;
}

// Codes 12 and 13 carry passwords, which only the password file changes at once.
std::optional<Param> column_changed_now(int code) {
    if (is_password_code(code)) {
        return std::nullopt;
    }
    return parameter_for_change_code(code);
}

// The value in the form its column keeps: the file carries every value in clear once its
// fields are unscrambled, while PassFTP and Password hold scrambled text, which start-up
// stores as it finds it in the row.
std::string stored_form(const ParameterChange& change, const std::string& name) {
    if (!is_password_code(change.code)) {
        return change.value;
    }
    try {
        return scramble(change.value);
    } catch (const FormatError& e) {
        throw FormatError("Una línea del archivo " + name + " trae una contraseña (CAMPO " +
                          std::to_string(change.code) + ") que no se puede guardar: " + e.what());
    }
}

void schedule(SQLite::Database& db, const ParameterChange& change, const std::string& name) {
    const std::string value = stored_form(change, name);
    const auto rows = scheduled_rows(db, {change.code});
    if (rows.empty()) {
        add_scheduled_row(db, change.code, value, change.day);
        return;
    }
    for (const auto& row : rows) {
        set_scheduled_row(db, row.rowid, value, change.day);
    }
}

// The offered version, or none when the server publishes no version list.
std::optional<int> offered_version(const ServerUpdateContext& context) {
    const Sesion& session = context.office.session();
    const auto local = session.paths.drive_root / kVersionList;
    erase_file(local);
    ScopedRemoval local_copy(local);
    if (!download_if_present(context.ftp, context.ui, session.paths.drive_root, session.dir_update,
                             kVersionList)) {
        return std::nullopt;
    }
    const auto line = read_first_line(local);
    if (!line) {
        throw NumberedError(error_number::kFileLocked,
                            std::string("No se pudo leer el archivo ") + kVersionList);
    }
    return round_to_int16(*line);
}

// Everything in one transaction; the run-time values follow only once it is committed.
void apply_file(Office& office, const std::vector<std::string>& lines, const std::string& name,
                int version) {
    ParametersRecord& params = office.params();
    const auto today = office.clock().today();
    std::vector<std::pair<std::string*, std::string>> run_time;
    try {
        SQLite::Transaction transaction(office.db());
        for (const auto& line : lines) {
            if (line.find_first_not_of(" \t") == std::string::npos) {
                continue;
            }
            const ParameterChange change = decode_line(line, name, office.locale());
            if (change.day > today) {
                schedule(office.db(), change, name);
            } else if (const auto column = column_changed_now(change.code)) {
                params.set_text(*column, change.value);
                if (auto* value = run_time_value(office.session(), change.code)) {
                    run_time.emplace_back(value, change.value);
                }
            }
        }
        params.set_number(Param::VerPar, version);
        params.save();
        transaction.commit();
    } catch (...) {
        params.reload();
        throw;
    }
    for (auto& [value, text] : run_time) {
        *value = std::move(text);
    }
}

}  // namespace

std::string parameter_file_name(int version) {
    char name[32];
    std::snprintf(name, sizeof name, "Actpm%03d.act", version);
    return name;
}

void update_parameters(const ServerUpdateContext& context) {
    Office& office = context.office;
    const auto version = offered_version(context);
    if (!version || *version <= office.params().number(Param::VerPar)) {
        return;
    }
    const Sesion& session = office.session();
    const std::string name = parameter_file_name(*version);
    const auto local = session.paths.drive_root / name;
    erase_file(local);
    ScopedRemoval local_copy(local);
    if (!download_if_present(context.ftp, context.ui, session.paths.drive_root, session.dir_update,
                             name)) {
        return;
    }
    const auto lines = read_text_lines(local);
    if (!lines) {
        throw NumberedError(error_number::kFileLocked, "No se pudo leer el archivo " + name);
    }
    apply_file(office, *lines, name, *version);
}

}  // namespace ordano
