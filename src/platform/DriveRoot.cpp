// SPDX-License-Identifier: Apache-2.0
#include "platform/DriveRoot.h"

#include <cstdlib>

namespace ordano {
namespace fs = std::filesystem;

#ifdef _WIN32

fs::path default_drive_root() {
    return fs::path("C:\\");
}

#else

namespace {

const char* non_empty(const char* value) {
    return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace

fs::path default_drive_root() {
    if (const char* xdg = non_empty(std::getenv("XDG_DATA_HOME"))) {
        return fs::path(xdg) / "ordano";
    }
    if (const char* home = non_empty(std::getenv("HOME"))) {
        return fs::path(home) / ".local" / "share" / "ordano";
    }
    return fs::temp_directory_path() / "ordano";
}

#endif

}  // namespace ordano
