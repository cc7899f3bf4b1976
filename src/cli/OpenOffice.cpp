#include "cli/OpenOffice.h"

#include <iostream>

#include "store/Office.h"
#include "workstation/WorkstationFormats.h"

namespace ordano::cli {

std::unique_ptr<Office> open_office(const Invocation& invocation, const Clock& clock) {
    auto office = Office::open(invocation.paths, clock, workstation_formats(), invocation.stop);
    for (const auto& notice : office->startup_notices()) {
        std::cerr << notice << "\n";
    }
    return office;
}

}  // namespace ordano::cli
