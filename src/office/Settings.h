// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "office/Session.h"
#include "platform/SettingsFolder.h"

namespace ordano {

// Where to look for things, as given on the command line or in the environment.
struct PathOptions {
    std::optional<std::filesystem::path> ini;   // --ini FILE
    std::optional<std::filesystem::path> root;  // --root DIR
    std::filesystem::path executable_dir;       // the folder of the running program
    // Where the settings file is when the program's folder has none (Windows' %ProgramData%).
    std::optional<std::filesystem::path> machine_settings = machine_settings_folder();
};

// --ini, else ORDANO_INI, else Ordano.ini beside the executable if there is one there, else
// Ordano.ini in the machine's settings folder if the system has one (also where a new office's
// file goes), else beside the executable. --root, else ORDANO_ROOT,
// else C:\ on Windows and $XDG_DATA_HOME/ordano (~/.local/share/ordano) elsewhere. The working
// folder is this process's own folder inside <drive root>/OrdanoTmp.
[[nodiscard]] Paths resolve_paths(const PathOptions& options);

// First line of the settings file, characters 9 onward, not trimmed. Throws StartupError with
// a message naming the file for a missing or unreadable file, an empty file or a first line
// shorter than 8 characters.
[[nodiscard]] std::string read_database_folder(const std::filesystem::path& ini_file);

// The database file inside that folder ("\Prevalida.mdb" joined the platform's way).
[[nodiscard]] std::filesystem::path database_file(const std::string& folder);

inline constexpr const char* kSettingsFileName = "Ordano.ini";
inline constexpr const char* kDatabaseFileName = "Prevalida.mdb";
inline constexpr const char* kWorkFolderName = "OrdanoTmp";

}  // namespace ordano
