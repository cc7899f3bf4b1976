// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <cstdio>

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

constexpr int kPassFtpCode = 12;
constexpr int kPasswordCode = 13;

struct PasswordFile {
    std::string pass_ftp;  // scrambled, as PassFTP stores it
    std::string password;  // scrambled, as Password stores it
    std::chrono::year_month_day day;
};

// A password that cannot be unscrambled would lock the office out on the day it is stored:
// such a file is refused whole, before anything is stored or scheduled.
void check_scrambled(const std::string& field, const char* column, const std::string& name) {
    try {
        (void)unscramble(field);
    } catch (const FormatError& e) {
        throw FormatError("El archivo " + name + " trae una contraseña para " + column +
                          " que no se puede leer (" + e.what() +
                          "); no se aplicó ni se programó ningún cambio");
    }
}

PasswordFile parse_password_file(const std::string& line, const std::string& name,
                                 const LocaleFormats& locale) {
    const auto fields = closed_fields(line);
    if (fields.size() < 3) {
        throw NumberedError(error_number::kTypeMismatch,
                            "El archivo " + name + " no trae sus tres campos");
    }
    check_scrambled(fields[0], "PassFTP", name);
    check_scrambled(fields[1], "Password", name);
    return {fields[0], fields[1], parse_short_date(unscramble(fields[2]), locale)};
}

void apply_now(const PasswordFile& file, ParametersRecord& params, Sesion& session) {
    if (params.text(Param::PassFTP) != file.pass_ftp) {
        std::string plain = unscramble(file.pass_ftp);
        params.set_text(Param::PassFTP, file.pass_ftp);
        params.save();
        session.pass_ftp = std::move(plain);
    }
    // The second password is only kept; nothing shows it, so storing it cannot fail the run.
    if (params.text(Param::Password) != file.password) {
        params.set_text(Param::Password, file.password);
        params.save();
    }
}

// A later change never moves an existing row to an earlier day; a row without a readable day
// would never be applied, so it takes the new one.
void schedule(const PasswordFile& file, SQLite::Database& db, const ParametersRecord& params) {
    SQLite::Transaction transaction(db);
    const auto rows = scheduled_rows(db, {kPassFtpCode, kPasswordCode});
    const std::pair<int, const std::string*> changes[] = {{kPassFtpCode, &file.pass_ftp},
                                                          {kPasswordCode, &file.password}};
    if (rows.empty()) {
        if (params.text(Param::PassFTP) != file.pass_ftp) {
            add_scheduled_row(db, kPassFtpCode, file.pass_ftp, file.day);
        }
        if (params.text(Param::Password) != file.password) {
            add_scheduled_row(db, kPasswordCode, file.password, file.day);
        }
    } else {
        for (const auto& [code, value] : changes) {
            const auto row = std::find_if(rows.begin(), rows.end(), [code](const ScheduledRow& r) {
                return r.campo == code;
            });
            if (row != rows.end() && row->valor != *value &&
                (!row->fecha || file.day >= *row->fecha)) {
                set_scheduled_row(db, row->rowid, *value, file.day);
            }
        }
    }
    transaction.commit();
}

}  // namespace

std::string password_file_name(int patente) {
    char name[32];
    std::snprintf(name, sizeof name, "Cpas%04d.rgs", patente);
    return name;
}

void update_account(const ServerUpdateContext& context) {
    Office& office = context.office;
    Sesion& session = office.session();
    const auto& root = session.paths.drive_root;
    const std::string name = password_file_name(session.patente);
    // A copy left by an earlier run must never be taken for today's file.
    erase_file(root / name);
    ScopedRemoval local_copy(root / name);
    if (!download_if_present(context.ftp, context.ui, root, session.dir_update, name)) {
        context.set_result("No existió el archivo");
        return;
    }
    const auto line = read_first_line(root / name);
    if (!line) {
        throw NumberedError(error_number::kFileLocked, "No se pudo leer el archivo " + name);
    }
    const PasswordFile file = parse_password_file(*line, name, office.locale());
    if (file.day <= office.clock().today()) {
        apply_now(file, office.params(), session);
    } else {
        schedule(file, office.db(), office.params());
    }
}

}  // namespace ordano
