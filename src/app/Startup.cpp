// SPDX-License-Identifier: Apache-2.0
#include "app/Startup.h"

#include <exception>
#include <string>

#include "base/Errors.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"

namespace ordano {

namespace {

constexpr const char* kCannotStart = "El programa no puede iniciar.";

void report(FrontEnd& ui, const std::string& cause) {
    ui.tell({std::string(kCannotStart) + "\n\n" + cause, {}, MessageIcon::Critical});
}

}  // namespace

std::unique_ptr<Office> open_office_or_report(const PathOptions& paths, const Clock& clock,
                                              const LocaleFormats& formats, FrontEnd& ui) {
    try {
        auto office = Office::open(paths, clock, formats, {}, "ordano");
        for (const auto& notice : office->startup_notices()) {
            ui.tell({notice, {}, MessageIcon::Critical});
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
