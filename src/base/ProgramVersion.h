// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace ordano {

// "MAJOR.MINOR.PATCH", the version the build was made as.
[[nodiscard]] std::string program_version();

// What --version prints: the program's name and version on the first line, then the
// libraries it runs with (their run-time versions, which may differ from those built
// against), one a line:
//   ordano-cli 3.1.0
//   Qt 6.4.2
//   libcurl 7.88.1 (OpenSSL/3.0.15)
//   SQLite 3.40.1
[[nodiscard]] std::string version_text(std::string_view program, std::string_view qt_version);

}  // namespace ordano
