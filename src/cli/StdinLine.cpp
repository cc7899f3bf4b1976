// SPDX-License-Identifier: Apache-2.0
#include "cli/StdinLine.h"

#include <istream>

namespace ordano::cli {

std::optional<std::string> read_secret_line(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace ordano::cli
