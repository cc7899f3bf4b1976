// SPDX-License-Identifier: Apache-2.0
#include "catalog/CatalogUpdate.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include "base/Errors.h"
#include "base/FileOps.h"
#include "base/RunStop.h"
#include "base/UiPort.h"
#include "catalog/CatalogInstall.h"
#include "catalog/PackageInflate.h"
#include "catalog/ServerFiles.h"
#include "catalog/ServerUpdates.h"
#include "office/Database.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "office/WorkingFiles.h"
#include "transfer/ConnectionMessages.h"
#include "transfer/FtpRoutines.h"

namespace ordano {
namespace {

constexpr const char* kVersionList = "revact.txt";
constexpr int kInternalError = 51;

// The first four characters of the line, filled with blanks on the right to four.
std::string version_text(const std::string& line) {
    std::size_t end = 0;
    int characters = 0;
    while (end < line.size() && characters < 4) {
        ++end;
        // Continuation bytes of a UTF-8 character belong to it.
        while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) {
            ++end;
        }
        ++characters;
    }
    return line.substr(0, end) + std::string(static_cast<std::size_t>(4 - characters), ' ');
}

// The run's UI port with the package's bytes also reported to the observer.
class PackageProgress final : public ForwardingUi {
public:
    PackageProgress(UiPort& ui, CatalogUpdateObserver* observer)
        : ForwardingUi(ui), observer_(observer) {}

    void progress(const Progress& p) override {
        if (observer_ != nullptr) {
            observer_->package_progress(p.done, p.total);
        }
        inner().progress(p);
    }

private:
    CatalogUpdateObserver* observer_;
};

}  // namespace

std::string catalog_failure_message(int number, std::string_view description) {
    std::string text = "Error Número: " + std::to_string(number) + "\r\nDescripción: ";
    text += description;
    text += "Proceso: Actualización del catálogo de errores";
    return text;
}

CatalogUpdate::CatalogUpdate(Office& office, UiPort& ui, FtpTimeouts timeouts)
    : office_(office), ui_(ui), ftp_("eftpActCatErr", timeouts) {
    ftp_.stop_with(office_.stop_token());
}

CatalogUpdate::~CatalogUpdate() = default;

UpdateOutcome CatalogUpdate::recibir() {
    // The window's buttons stay live while the run waits for the server; a second click must
    // not start a second run on the same session.
    if (running_) {
        return UpdateOutcome::Busy;
    }
    running_ = true;
    struct EndOfRun {
        CatalogUpdate& update;
        ~EndOfRun() {
            update.close_session();
            update.running_ = false;
        }
    } end_of_run{*this};
    try {
        return run();
    } catch (const RunStopped&) {
        return UpdateOutcome::Stopped;
    } catch (...) {
        report_failure();
    }
    return UpdateOutcome::Failed;
}

void CatalogUpdate::salir() {
    if (running_) {
        // Closing the window mid-run: the session stops the transfer under way and closes
        // once it returns; the run then ends with the failure of its next step.
        ftp_.disconnect();
        return;
    }
    close_session();
}

void CatalogUpdate::close_session() {
    try {
        log_out(ftp_, ui_);
    } catch (...) {
        // Closing a session cannot fail in a way the person could act on.
    }
}

UpdateOutcome CatalogUpdate::run() {
    for (int step = 1; step <= 4; ++step) {
        set_mark(step, StepMark::None);
    }
    set_result("");
    Sesion& session = office_.session();
    const auto& root = session.paths.drive_root;
    remove_stale_working_files(session.paths);

    log_in(ftp_, true, session, office_.params(), ui_);
    set_mark(1, StepMark::UnderWay);
    const ServerUpdateContext context{office_, ftp_, ui_,
                                      [this](const std::string& text) { set_result(text); }};
    update_account(context);
    update_parameters(context);

    erase_file(root / kVersionList);
    ScopedRemoval local_files(root / kVersionList);
    // dir_update is read now: a due parameter change may just have moved it.
    if (!download_if_present(ftp_, ui_, root, session.dir_update, kVersionList)) {
        return UpdateOutcome::NoVersionList;
    }
    set_mark(1, StepMark::Finished);
    set_mark(2, StepMark::UnderWay);
    const auto line = read_first_line(root / kVersionList);
    if (!line) {
        throw NumberedError(error_number::kFileLocked,
                            std::string("No se pudo leer el archivo ") + kVersionList);
    }
    erase_file(root / kVersionList);
    const std::string version = version_text(*line);
    const long offered = parse_int32(version);
    if (offered <= office_.params().number(Param::vererr)) {
        set_mark(2, StepMark::Result);
        set_result("No existen actualizaciones del catálogo!!!");
        return UpdateOutcome::NoNewerCatalogue;
    }
    set_mark(2, StepMark::Finished);
    set_mark(3, StepMark::UnderWay);

    const std::string package = "ACTE" + version + ".mdb.mz";
    // Fetched and unpacked in this process's working folder: what a run killed meanwhile
    // leaves is swept with that folder once the process is gone. One an earlier version left
    // in the drive root goes now.
    const auto& work = session.paths.work_folder;
    const auto database = work / ("ACTE" + version + ".mdb");
    erase_file(root / package);
    erase_file(work / package);
    erase_file(database);
    local_files.add(work / package);
    local_files.add(database);
    bool arrived = false;
    {
        PackageProgress progress(ui_, observer_);
        arrived = download_if_present(ftp_, progress, work, session.dir_update, package);
    }
    if (!arrived) {
        throw PackageError("No se encontró el paquete " + package + " en el servidor");
    }
    if (std::filesystem::file_size(work / package) == 0) {
        throw PackageError("El paquete " + package + " está vacío");
    }
    ui_.run_blocking([&] { inflate_package(work / package, database); });
    erase_file(work / package);
    set_mark(3, StepMark::Finished);
    stop_point(office_.stop_token());

    install_catalog(office_.db(), office_.params(), office_.catalog(), database, offered);
    set_mark(4, StepMark::Result);
    set_result("Catálogo actualizado satisfactoriamente!!!");
    return UpdateOutcome::Installed;
}

void CatalogUpdate::set_mark(int step, StepMark mark) {
    marks_.at(static_cast<std::size_t>(step - 1)) = mark;
    if (observer_ != nullptr) {
        observer_->step_marked(step, mark);
    }
}

void CatalogUpdate::set_result(const std::string& text) {
    result_ = text;
    if (observer_ != nullptr) {
        observer_->result_changed(result_);
    }
}

// The run's one error trap: the message of the failure's kind, and a result line that says
// why the run stopped.
void CatalogUpdate::report_failure() {
    const auto generic = [this](int number, const std::string& description,
                                std::string_view details = {}) {
        set_result("La actualización no terminó: " + description);
        ui_.detailed_message(catalog_failure_message(number, description), details,
                             MessageIcon::None, MessageButtons::Ok, std::nullopt);
    };
    try {
        throw;
    } catch (const PackageError& e) {
        set_result(std::string(e.what()) + "; el catálogo no cambió.");
        ui_.message(result_, MessageIcon::Critical, MessageButtons::Ok);
    } catch (const FtpError& e) {
        const auto show = [&](std::string_view text, MessageIcon icon,
                              std::optional<std::string_view> caption) {
            set_result("La actualización no terminó: " + e.description());
            ui_.detailed_message(text, e.details(), icon, MessageButtons::Ok, caption);
        };
        switch (e.number()) {
            case ftp_error::kNoAnswer:
                show("No hay comunicación al servidor de validación", MessageIcon::None,
                     std::nullopt);
                break;
            case ftp_error::kLoginRefused:
            case 1014:
            case 1015:
                show(login_refused_message(LoginCaller::CatalogUpdate), MessageIcon::Critical,
                     kProductName);
                break;
            case ftp_error::kUnreachable:
                show(no_connection_message(
                         static_cast<int>(office_.params().number(Param::tipo_acceso))),
                     MessageIcon::Critical, kProductName);
                break;
            default:
                generic(e.number(), e.description(), e.details());
        }
    } catch (const NumberedError& e) {
        generic(e.number(), e.description());
    } catch (const SQLite::Exception& e) {
        // A full disk or a database held elsewhere is told as such, not by the engine's number.
        if (const auto local = database_local_failure(e, office_.db().getFilename())) {
            generic(local->number(), local->description());
        } else {
            generic(e.getErrorCode(), e.what());
        }
    } catch (const FormatError& e) {
        generic(error_number::kTypeMismatch, e.what());
    } catch (const std::exception& e) {
        generic(kInternalError, e.what());
    } catch (...) {
        generic(kInternalError, "Error interno");
    }
}

}  // namespace ordano
