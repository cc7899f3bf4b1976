// SPDX-License-Identifier: Apache-2.0
#include "catalog/Bulletin.h"

#include <SQLiteCpp/Exception.h>

#include "base/Errors.h"
#include "base/FileOps.h"
#include "base/RunStop.h"
#include "base/UiPort.h"
#include "catalog/ServerFiles.h"
#include "catalog/Ticker.h"
#include "office/Catalog.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "transfer/ConnectionMessages.h"
#include "transfer/FtpRoutines.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

constexpr int kInternalError = 51;

// How the refresh ended when it did not compose a bulletin.
// `details`: the failure's details when it was met in the exchange with the server.
void report(bool by_person, Office& office, UiPort& ui, int number, const std::string& description,
            std::string_view details = {}) {
    const auto show = [&](std::string_view text) {
        ui.detailed_message(text, details, MessageIcon::Critical, MessageButtons::Ok);
    };
    switch (number) {
        case ftp_error::kLoginRefused:
        case 1015:
            if (by_person) {
                show(login_refused_message(LoginCaller::BulletinAndRecovery));
            }
            return;
        case 1014:
        case ftp_error::kUnreachable:
            if (by_person) {
                show(no_connection_message(
                    static_cast<int>(office.params().number(Param::tipo_acceso))));
            }
            return;
        default:
            show(error_number_message(number, description));
    }
}

// The bulletin line, or none when the server has no bulletin file.
std::optional<std::string> fetch_line(Office& office, FtpSession& ftp, UiPort& ui) {
    const Sesion& session = office.session();
    const auto& root = session.paths.drive_root;
    log_in(ftp, true, session, office.params(), ui);
    // A copy left by an earlier refresh must never be shown as today's bulletin.
    if (std::filesystem::exists(root / kBulletinFile)) {
        erase_file(root / kBulletinFile);
        ui.yield();
    }
    if (!download_if_present(ftp, ui, root, session.dir_update, kBulletinFile)) {
        return std::nullopt;
    }
    auto line = read_first_line(root / kBulletinFile);
    if (!line) {
        throw NumberedError(error_number::kFileLocked,
                            std::string("No se pudo leer el archivo ") + kBulletinFile);
    }
    return line;
}

}  // namespace

std::optional<std::string> compose_bulletin(std::string_view line, Catalog& catalog) {
    const auto fields = closed_fields(line);
    if (fields.size() < 3) {
        return std::nullopt;
    }
    std::string text = "Información del " + fields[0] + " a las " + fields[1] + " Horas";
    for (std::size_t i = 2; i < fields.size(); ++i) {
        text += " - ";
        text += catalog.informacion(parse_int16(fields[i])).value_or(std::string());
    }
    return text;
}

void fetch_bulletin(bool by_person, Office& office, FtpSession& ftp, UiPort& ui, Ticker& ticker) {
    ScopedRemoval local_copy(office.session().paths.drive_root / kBulletinFile);
    try {
        const auto line = fetch_line(office, ftp, ui);
        std::optional<std::string> text;
        if (line) {
            text = compose_bulletin(*line, office.catalog());
        }
        if (text) {
            ticker.show(std::move(*text), true);
        } else {
            ticker.clear();
        }
    } catch (const FtpError& e) {
        if (e.number() == ftp_error::kNotTransferred) {
            ticker.clear();
        } else {
            report(by_person, office, ui, e.number(), e.description(), e.details());
        }
    } catch (const NumberedError& e) {
        report(by_person, office, ui, e.number(), e.description());
    } catch (const SQLite::Exception& e) {
        report(by_person, office, ui, e.getErrorCode(), e.what());
    } catch (const RunStopped&) {
        // The program is ending: the ticker keeps what it showed.
    } catch (const std::exception& e) {
        report(by_person, office, ui, kInternalError, e.what());
    }
    // Also after a refused login: a half-open session is never left behind.
    ftp.disconnect();
}

}  // namespace ordano
