// SPDX-License-Identifier: Apache-2.0
#include "base/FileOps.h"

#include <fstream>
#include <system_error>

namespace ordano {

void erase_file(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) {
        return;
    }
    // A read-only file is deleted too, as the forced delete of the office's Windows does.
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(file);
}

std::optional<std::string> read_first_line_bytes(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    char c = 0;
    while (in.get(c) && c != '\r' && c != '\n') {
        line += c;
    }
    return line;
}

}  // namespace ordano
