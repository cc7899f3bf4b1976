// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string_view>

namespace ordano {

// Leaves a file readable and writable by its owner only, for files that hold the office's
// secrets (the database, the settings file). On POSIX systems it removes the group's and
// others' permissions and never adds any, so a stricter mode stays as it is. On Windows it gives
// the file an access list of its own that lets in only the process's user. Failures are ignored
// (the file keeps the rights it had); a missing file is not an error.
void restrict_to_owner(const std::filesystem::path& file) noexcept;

// Whether users other than the file's owner may read or write it, for a file that must hold a
// secret only its owner can see (a password given in a file). POSIX: any permission of the
// group or of others. Windows: an access list that lets in any account but the process's user,
// the system and the administrators (who may read every file), or no access list at all.
[[nodiscard]] bool open_to_others(const std::filesystem::path& file);

// Where a person makes a file their own alone, said when one is refused for being open to others.
[[nodiscard]] std::string_view owner_only_hint();

}  // namespace ordano
