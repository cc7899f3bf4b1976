// SPDX-License-Identifier: Apache-2.0
#include "app/Startup.h"

#include <exception>
#include <string>

#include "store/Errors.h"
#include "store/Office.h"
#include "store/UiPort.h"

namespace ordano {

namespace {

constexpr const char* kCannotStart = "El programa no puede iniciar.";

void report(UiPort& ui, const std::string& cause) {
    ui.message(std::string(kCannotStart) + "\n\n" + cause, MessageIcon::Critical,
               MessageButtons::Ok);
}

}  // namespace

std::unique_ptr<Office> open_office_or_report(const PathOptions& paths, const Clock& clock,
                                              const LocaleFormats& formats, UiPort& ui) {
    try {
        auto office = Office::open(paths, clock, formats, {}, "ordano");
        for (const auto& notice : office->startup_notices()) {
            ui.message(notice, MessageIcon::Critical, MessageButtons::Ok);
        }
        return office;
    } catch (const StartupError& e) {
        report(ui, e.what());
    } catch (const std::exception& e) {
        // Anything else the database or the file system threw on the way up.
        report(ui, std::string("Error inesperado al abrir la oficina: ") + e.what());
    }
    return nullptr;
}

}  // namespace ordano
