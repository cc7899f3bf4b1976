// SPDX-License-Identifier: Apache-2.0
#include "catalog/CatalogCheck.h"

#include <optional>

#include "base/FileOps.h"
#include "base/UiPort.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/ServerFiles.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "transfer/FtpRoutines.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

constexpr const char* kVersionList = "revact.txt";

// The version the server offers, or none when it publishes no list.
std::optional<long> offered_version(Office& office, FtpSession& ftp, UiPort& ui) {
    const Sesion& session = office.session();
    const auto& root = session.paths.drive_root;
    erase_file(root / kVersionList);
    ScopedRemoval local_copy(root / kVersionList);
    log_in(ftp, true, session, office.params(), ui);
    if (!download_if_present(ftp, ui, root, session.dir_update, kVersionList)) {
        return std::nullopt;
    }
    const auto line = read_first_line(root / kVersionList);
    if (!line) {
        return std::nullopt;
    }
    return parse_int32(line->substr(0, 4));
}

}  // namespace

bool check_for_newer_catalog(Office& office, FtpSession& ftp, UiPort& ui, CatalogUpdate& update,
                             const CatalogWindowHooks& window) {
    std::optional<long> offered;
    try {
        offered = offered_version(office, ftp, ui);
    } catch (...) {
        // The check runs unasked: a failure of its own is not worth a message.
        offered = std::nullopt;
    }
    // Nothing more is needed from this session; it is not held open across the question.
    ftp.disconnect();
    if (!offered || *offered <= office.params().number(Param::vererr)) {
        return false;
    }
    const auto answer = ui.message(
        "Existe una versión actualizada del catálogo de errores, ¿Deseas descargar la "
        "actualización?",
        MessageIcon::Information, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        return false;
    }
    if (window.show) {
        window.show();
    }
    const UpdateOutcome outcome = update.recibir();
    if (outcome == UpdateOutcome::Busy) {
        return false;  // the window's own run goes on; it is not ours to close
    }
    ui.yield();
    if (window.hide) {
        window.hide();
    }
    update.salir();
    if (outcome != UpdateOutcome::Installed) {
        return false;
    }
    ui.message("Catálogo de errores actualizado correctamente", MessageIcon::None,
               MessageButtons::Ok);
    return true;
}

}  // namespace ordano
