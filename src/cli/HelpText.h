// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace ordano::cli {

struct CommandSpec;

// "ordano-cli --help": usage, the commands, the general options, the exit statuses and
// examples; lines fit 80 columns.
[[nodiscard]] std::string general_help();
// "ordano-cli COMMAND --help": its usage, description, options and examples.
[[nodiscard]] std::string command_help(const CommandSpec& command);
// "uso: ordano-cli send [OPCIONES] ARCHIVO..." and where to find more: what a usage error adds.
[[nodiscard]] std::string usage_line(const CommandSpec* command);

}  // namespace ordano::cli
