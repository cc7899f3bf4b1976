#pragma once

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "store/Settings.h"

namespace ordano::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The command line after the subcommand, with --ini and --root already taken out.
struct Invocation {
    PathOptions paths;
    std::vector<std::string> args;
    // The command's stop: requested by a termination signal or a --wait deadline (RunStop.h).
    std::stop_source stop;
    // A stop is how the command ends (watch): its own exit status stands, not 130 or 143.
    bool ends_by_stop = false;
};

// A usage error: printed with the command's usage line, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Exit status: 0 success, 1 failure (message on standard error), 2 usage error.
int run(int argc, char** argv);

}  // namespace ordano::cli
