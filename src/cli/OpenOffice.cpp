// SPDX-License-Identifier: Apache-2.0
#include "cli/OpenOffice.h"

#include <iostream>

#include "cli/ExitCodes.h"
#include "office/Journal.h"
#include "office/Office.h"
#include "workstation/WorkstationFormats.h"

namespace ordano::cli {

std::unique_ptr<Office> open_office(const Invocation& invocation, const Clock& clock,
                                    OfficeUse use) {
    auto office = use == OfficeUse::Work
                      ? Office::open(invocation.paths, clock, workstation_formats(),
                                     invocation.stop, invocation.lock_holder())
                      : Office::open_to_read(invocation.paths, clock, workstation_formats());
    for (const auto& notice : office->startup_notices()) {
        std::cerr << notice << "\n";
    }
    return office;
}

int close_journal(Office& office) {
    const Journal::Ending ending = office.journal().close();
    if (ending.complete()) {
        return exit_code::kSuccess;
    }
    std::cerr << ending.text() << "\n";
    return exit_code::kLocalProblem;
}

}  // namespace ordano::cli
