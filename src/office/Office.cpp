// SPDX-License-Identifier: Apache-2.0
#include "office/Office.h"

#include <SQLiteCpp/Database.h>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/Scramble.h"
#include "office/Catalog.h"
#include "office/Database.h"
#include "office/Journal.h"
#include "office/OwedJournal.h"
#include "office/Parameters.h"
#include "office/ScheduledChanges.h"
#include "office/Schema.h"
#include "office/SchemaUpgrade.h"
#include "office/WorkingFiles.h"

namespace ordano {
namespace fs = std::filesystem;

namespace {

void create_work_folder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) {
        throw StartupError("No se pudo crear la carpeta de trabajo " + folder.string() + ": " +
                           ec.message());
    }
}

}  // namespace

Office::Office(const Clock& clock, LocaleFormats locale, std::stop_source stop)
    : clock_(clock), locale_(std::move(locale)), stop_(std::move(stop)) {}

Office::~Office() = default;

std::unique_ptr<Office> Office::open(const PathOptions& options, const Clock& clock,
                                     LocaleFormats locale, std::stop_source stop,
                                     std::string_view lock_holder) {
    std::unique_ptr<Office> office(new Office(clock, std::move(locale), std::move(stop)));
    office->start_up(options, lock_holder);
    return office;
}

std::unique_ptr<Office> Office::open_to_read(const PathOptions& options, const Clock& clock,
                                             LocaleFormats locale) {
    std::unique_ptr<Office> office(new Office(clock, std::move(locale), {}));
    office->start_up(options, {}, true);
    return office;
}

void Office::start_up(const PathOptions& options, std::string_view lock_holder, bool reader) {
    session_.paths = resolve_paths(options);
    create_work_folder(session_.paths.work_folder);
    remove_stale_working_files(session_.paths);

    const std::string folder = read_database_folder(session_.paths.ini_file);
    const fs::path db_file = database_file(folder);
    // A missing database is reported as such by open_database, not as a lock problem.
    std::error_code ec;
    if (!lock_holder.empty() && fs::is_regular_file(db_file, ec)) {
        lock_.emplace(OfficeLock::take(db_file.parent_path(), lock_holder));
    }
    db_ = open_database(db_file);
    try {
        upgrade_office_schema(*db_);
    } catch (const SQLite::Exception& e) {
        throw StartupError(std::string("La base de datos no se pudo poner al día para esta "
                                       "versión del programa: ") +
                           e.what());
    }
    try {
        params_ = std::make_unique<ParametersRecord>(*db_);
    } catch (const SQLite::Exception& e) {
        throw startup_database_failure(
            e, db_file, "La base de datos no tiene la tabla PARAMETROS con sus columnas: ");
    }
    catalog_ = std::make_unique<Catalog>(*db_);
    if (!reader) {
        try {
            create_catalog_indexes(*db_);
        } catch (const SQLite::Exception&) {
            // A database that cannot take them now (read-only, busy) still answers every
            // lookup, only more slowly; the next start-up tries again.
        }
    }
    journal_ = std::make_unique<Journal>(db_file, clock_);
    if (!reader) {
        write_kept_journal(db_file);  // a reader leaves them to the program that holds the office
    }

    session_.folders = stored_folders();
    // With a dial-up link the provisional host is the server field, otherwise the proxy field.
    const std::string provisional = params_->flag(Param::acc_tel)
                                        ? host_for_link_type(std::string())
                                        : params_->text(Param::ip_proxy);
    session_.host = host_for_link_type(provisional);

    if (!reader) {
        apply_scheduled_changes(db_file);
    }

    session_.patente = static_cast<int>(params_->number(Param::Patente));
    session_.bandera_pago = 'N';
    try {
        session_.pass_ban = unscramble(params_->text(Param::PassBan));
        session_.pass_ftp = text::lower_case(unscramble(params_->text(Param::PassFTP)));
    } catch (const FormatError& e) {
        throw StartupError(std::string("Una contraseña guardada en PARAMETROS no se puede "
                                       "leer: ") +
                           e.what());
    }
    session_.dir_val_in = params_->text(Param::kro_valin);
    session_.dir_pag_in = params_->text(Param::kro_pagin);
    session_.dir_sag_in = params_->text(Param::kro_sagin);
    session_.dir_update = params_->text(Param::kro_update);
    session_.dia_juliano = day_of_year(clock_.today());
}

void Office::write_kept_journal(const fs::path& db_file) {
    std::error_code ec;
    if (!fs::exists(owed_journal_file(db_file), ec)) {
        return;
    }
    const auto notices = journal_->take_up_owed();
    notices_.insert(notices_.end(), notices.begin(), notices.end());
}

void Office::apply_scheduled_changes(const fs::path& db_file) {
    try {
        const auto refused = apply_due_changes(*db_, *params_, clock_.today()).refused;
        notices_.insert(notices_.end(), refused.begin(), refused.end());
    } catch (const SQLite::Exception& e) {
        throw startup_database_failure(
            e, db_file,
            "No se pudieron aplicar los cambios de parámetros programados "
            "para hoy: ");
    } catch (const FormatError& e) {
        throw StartupError(std::string("No se pudieron aplicar los cambios de parámetros "
                                       "programados para hoy: ") +
                           e.what());
    }
}

std::string Office::host_for_link_type(const std::string& fallback) const {
    switch (params_->number(Param::tipo_acceso)) {
        case 0:
            return params_->text(Param::Host_Ras);
        case 1:
            return params_->text(Param::Host_Internet);
        case 2:
            return params_->text(Param::Host);
        default:
            return fallback;
    }
}

LocalFolders Office::stored_folders() const {
    return {params_->text(Param::val_env), params_->text(Param::val_rec),
            params_->text(Param::tra_env), params_->text(Param::tra_rec),
            params_->text(Param::pag_env), params_->text(Param::pag_rec),
            params_->text(Param::sag_env), params_->text(Param::sag_rec)};
}

}  // namespace ordano
