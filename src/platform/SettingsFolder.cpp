// SPDX-License-Identifier: Apache-2.0
#include "platform/SettingsFolder.h"

#ifdef _WIN32
#include <windows.h>
// (after windows.h)
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace ordano {
namespace fs = std::filesystem;

#ifdef _WIN32

std::optional<fs::path> machine_settings_folder() {
    // The known folder rather than the environment: a process may be started without it.
    PWSTR data = nullptr;
    fs::path folder(L"C:\\ProgramData");
    if (SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &data) == S_OK) {
        folder = data;
    }
    CoTaskMemFree(data);
    return folder / "Ordano";
}

#else

std::optional<fs::path> machine_settings_folder() {
    return std::nullopt;
}

#endif

}  // namespace ordano
