#include "cli/OpenOffice.h"

#include <iostream>

#include "store/Office.h"

namespace ordano::cli {

std::unique_ptr<Office> open_office(const PathOptions& paths, const Clock& clock,
                                    LocaleFormats locale) {
    auto office = Office::open(paths, clock, std::move(locale));
    for (const auto& notice : office->startup_notices()) {
        std::cerr << notice << "\n";
    }
    return office;
}

}  // namespace ordano::cli
