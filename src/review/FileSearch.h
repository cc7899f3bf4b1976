// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "office/Session.h"

namespace ordano {

// The review area's "Tipo de Archivo" items: the kind letter of the files it lists and the
// send folder it lists them from ("CARTAS CUPO" lists D files from the SAAI M3 folder).
struct SearchKind {
    char letra_tipo;
    std::string LocalFolders::*folder;
};
// nullopt for an index that names no item.
[[nodiscard]] std::optional<SearchKind> search_kind(int index);

// The review area's "Buscar Por" items.
enum class SearchBy { CurrentDay = 0, AllDays = 1 };

// patron_archivos. Today (no text): L P "*." J, e.g. M3912*.045; with text, the text itself.
// All days (no text): L P "*.0*;" L P "*.1*;" L P "*.2*;" L P "*.3*"; with text, L P "*." and
// the text written with three digits when it is a number (as it stands otherwise).
// P is the patente with four digits, J the julian day with three.
[[nodiscard]] std::string build_file_pattern(SearchBy by, std::string_view letra_tipo, int patente,
                                             int dia_juliano, std::string_view text);

// Whether a file name matches a pattern the way the office's file list box matches it: "*"
// stands for any run of characters and "?" for one, several patterns are separated by ";",
// and letter case is ignored as on the office's file system.
[[nodiscard]] bool matches_file_pattern(std::string_view pattern, std::string_view name);

// The names (UTF-8) of the files in `folder` that match `pattern`, ordered by name with letter
// case ignored, as the file list box shows them. Throws NumberedError 68 when the folder does
// not exist and 70 when it cannot be read.
[[nodiscard]] std::vector<std::string> matching_files(const std::filesystem::path& folder,
                                                      std::string_view pattern);

}  // namespace ordano
