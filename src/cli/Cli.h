// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <iosfwd>
#include <stop_token>
#include <string>
#include <vector>

#include "cli/ArgParser.h"
#include "cli/ExitCodes.h"
#include "office/Settings.h"

namespace ordano::cli {

inline constexpr int kExitSuccess = exit_code::kSuccess;
inline constexpr int kExitFailure = exit_code::kFailure;
inline constexpr int kExitUsage = exit_code::kUsage;

// -q prints only results and errors; -v adds each FTP step to standard error.
enum class Verbosity { Quiet, Normal, Verbose };

// A subcommand's command line, read against its options, with the general ones applied.
struct Invocation {
    PathOptions paths;
    ParsedArgs args;
    std::string command;  // "send", "init", ...
    Verbosity verbosity = Verbosity::Normal;

    // "ordano-cli send: ", what the command's error messages begin with.
    [[nodiscard]] std::string error_prefix() const { return "ordano-cli " + command + ": "; }
    // Where progress goes: standard error, or nowhere with -q.
    [[nodiscard]] std::ostream& progress() const;
    // The command's stop: requested by a termination signal or a --wait deadline (RunStop.h).
    std::stop_source stop;
    // A stop is how the command ends (watch): its own exit status stands, not 130 or 143.
    bool ends_by_stop = false;

    // How a command that transfers or writes names itself in the office's lock, for another
    // program that finds the office taken.
    [[nodiscard]] std::string lock_holder() const { return "ordano-cli " + command; }
};

// A stream that writes nowhere (what -q makes of progress).
[[nodiscard]] std::ostream& null_stream();

// The exit status says the cause (ExitCodes.h); errors go to standard error prefixed with
// "ordano-cli: " or "ordano-cli COMMAND: ".
int run(int argc, char** argv);

}  // namespace ordano::cli
