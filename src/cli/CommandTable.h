// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <span>
#include <string_view>

#include "cli/ArgParser.h"

namespace ordano::cli {

struct Invocation;

// A subcommand: how it is called, what it does, its options with their help, and examples.
// The same table drives the parsing and the help, so neither can forget an option.
struct CommandSpec {
    std::string_view name;
    std::string_view operands;  // "ARCHIVO...", shown in the usage line
    std::string_view summary;   // one line, for the list of commands
    std::string_view description;
    std::span<const OptionSpec> options;
    std::span<const std::string_view> examples;
    int (*run)(const Invocation&);
    bool ends_by_stop = false;  // a stop is how it ends: its own status stands (Invocation)
};

// Options every command takes, before or after its name: --ini, --root, -q, -v, -h, --version.
[[nodiscard]] std::span<const OptionSpec> global_options();
[[nodiscard]] std::span<const CommandSpec> commands();
// nullptr for a name that is no command.
[[nodiscard]] const CommandSpec* find_command(std::string_view name);

}  // namespace ordano::cli
