// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string>

#include "office/Session.h"

namespace ordano {

// Ordano's working files carry the id of the process that made them, so that two processes
// never touch each other's files and a file of a process that has ended can be told from a
// live one's: each process works in its own folder "proceso-<pid>" inside OrdanoTmp, and a
// file written through a temporary name beside its target uses "<target>.part-<pid>-<hex>".

// "proceso-<pid>".
[[nodiscard]] std::string process_folder_name(long pid);
// "<name>.part-<pid of this process>-<random hex>".
[[nodiscard]] std::string part_file_name(const std::string& name);

// Removes what processes that have ended left behind: their folders in OrdanoTmp and their
// ".part-" files in OrdanoTmp and the drive root. Anything of a process that runs (or may run)
// and any other name stays; failures are ignored (the next sweep tries again).
void remove_stale_working_files(const Paths& paths) noexcept;

}  // namespace ordano
