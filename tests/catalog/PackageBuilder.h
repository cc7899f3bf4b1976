// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ordano::test {

// A catalogue package: the zlib stream of an SQLite file holding the catalogue tables (all
// seven unless some are left out), each with `rows` rows. Row n of every table carries the
// description "<tag> <TABLE> <n>" and the lookup keys that description_key() gives. `alter`
// runs on the filled tables, to spoil a package's shape.
struct PackageContents {
    int rows = 3;
    std::string tag = "NUEVO";
    std::set<std::string> leave_out{};
    std::vector<std::string> alter{};
};

// Writes the SQLite file of a package.
void make_package_database(const std::filesystem::path& file, const PackageContents& contents);
[[nodiscard]] std::string compress_bytes(std::string_view bytes);
// The package bytes, built in a scratch file inside `scratch_folder`.
[[nodiscard]] std::string make_package(const std::filesystem::path& scratch_folder,
                                       const PackageContents& contents);
[[nodiscard]] std::string package_description(const PackageContents& contents,
                                              std::string_view table, int n);

}  // namespace ordano::test
