// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace ordano::cli {

// One line of `in` without its line end (a CR left by Windows included); nullopt at the end of
// the input. How secrets reach ordano-cli without showing in its arguments.
[[nodiscard]] std::optional<std::string> read_secret_line(std::istream& in);

}  // namespace ordano::cli
