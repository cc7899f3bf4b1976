// SPDX-License-Identifier: Apache-2.0
#include "cli/Cli.h"

#include <iostream>
#include <string_view>

#include "base/Errors.h"
#include "base/ProgramVersion.h"
#include "cli/CommandTable.h"
#include "cli/Commands.h"
#include "cli/HelpText.h"
#include "office/OfficeLock.h"
#include "platform/StopRequests.h"
#include "workstation/QtVersion.h"

namespace ordano::cli {
namespace {

std::filesystem::path executable_dir(const char* argv0) {
    std::error_code ec;
    auto path = std::filesystem::canonical(argv0, ec);
    return ec ? std::filesystem::current_path() : path.parent_path();
}

// Applies the general options found before or after the command's name.
void apply_general(const ParsedArgs& args, Invocation& invocation) {
    if (auto ini = args.value("--ini")) {
        invocation.paths.ini = std::filesystem::path(*ini);
    }
    if (auto root = args.value("--root")) {
        invocation.paths.root = std::filesystem::path(*root);
    }
    if (args.has("--quiet") && args.has("--verbose")) {
        throw UsageError("-q y -v no van juntas");
    }
    if (args.has("--quiet")) {
        invocation.verbosity = Verbosity::Quiet;
    } else if (args.has("--verbose")) {
        invocation.verbosity = Verbosity::Verbose;
    }
}

// Prints the help or the version when asked for; true when it did.
bool answer_request(const ParsedArgs& args, const CommandSpec* command) {
    if (args.has("--version")) {
        std::cout << version_text("ordano-cli", qt_runtime_version());
        return true;
    }
    if (args.has("--help")) {
        std::cout << (command != nullptr ? command_help(*command) : general_help());
        return true;
    }
    return false;
}

// Runs the command; what it throws becomes its message and the exit status of its cause.
int run_command(const CommandSpec& command, const Invocation& invocation) {
    const std::string prefix = invocation.error_prefix();
    try {
        return command.run(invocation);
    } catch (const UsageError& e) {
        std::cerr << prefix << e.what() << "\n" << usage_line(&command);
        return exit_code::kUsage;
    } catch (const OfficeBusyError& e) {
        std::cerr << prefix << e.what() << "\n";
        return exit_code::kOfficeBusy;
    } catch (const StartupError& e) {
        std::cerr << prefix << e.what() << "\n";
        return exit_code::kLocalProblem;
    } catch (const NumberedError& e) {
        std::cerr << prefix << e.what() << "\n";
        return exit_code_for_number(e.number());
    } catch (const std::filesystem::filesystem_error& e) {
        std::cerr << prefix << e.what() << "\n";
        return exit_code::kLocalProblem;
    } catch (const std::exception& e) {
        std::cerr << prefix << e.what() << "\n";
        return exit_code::kFailure;
    }
}

}  // namespace

std::ostream& null_stream() {
    static std::ostream nowhere(nullptr);
    return nowhere;
}

std::ostream& Invocation::progress() const {
    return verbosity == Verbosity::Quiet ? null_stream() : std::cerr;
}

namespace {

// Reads the command line into `invocation` and runs the command.
int run_command_line(int argc, char** argv, Invocation& invocation) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    invocation.paths.executable_dir = executable_dir(argv[0]);
    const CommandSpec* command = nullptr;
    try {
        const ParsedArgs general = parse_args(args, {global_options()}, true);
        apply_general(general, invocation);
        if (general.rest().empty()) {
            if (answer_request(general, nullptr)) {
                return exit_code::kSuccess;
            }
            throw UsageError("falta la orden");
        }
        const std::string& name = general.rest().front();
        command = find_command(name);
        if (command == nullptr) {
            throw UsageError("orden desconocida: " + name);
        }
        invocation.command = name;
        const std::vector<std::string> own(general.rest().begin() + 1, general.rest().end());
        invocation.args = parse_args(own, {command->options, global_options()});
        apply_general(invocation.args, invocation);
        if (answer_request(general, command) || answer_request(invocation.args, command)) {
            return exit_code::kSuccess;
        }
        invocation.ends_by_stop = command->ends_by_stop;
    } catch (const UsageError& e) {
        std::cerr << (command != nullptr ? "ordano-cli " + std::string(command->name) + ": "
                                         : std::string("ordano-cli: "))
                  << e.what() << "\n"
                  << usage_line(command);
        return exit_code::kUsage;
    }
    return run_command(*command, invocation);
}

}  // namespace

int run(int argc, char** argv) {
    Invocation invocation;
    // While the command runs, SIGINT and SIGTERM stop its work at once (the transfer in flight
    // cancelled, nothing partial left) instead of killing it midway; it then ends with 130 or
    // 143 whatever it achieved.
    StopRequests stops([stop = invocation.stop](int) mutable { stop.request_stop(); });
    stops.ignore_requests_afterwards();
    const int status = run_command_line(argc, argv, invocation);
    return stops.exit_status() != 0 && !invocation.ends_by_stop ? stops.exit_status() : status;
}

int help_command(const Invocation& invocation) {
    const auto& names = invocation.args.operands();
    if (names.size() > 1) {
        throw UsageError("argumento de más: " + names[1]);
    }
    if (names.empty()) {
        std::cout << general_help();
        return exit_code::kSuccess;
    }
    const CommandSpec* command = find_command(names.front());
    if (command == nullptr) {
        throw UsageError("orden desconocida: " + names.front());
    }
    std::cout << command_help(*command);
    return exit_code::kSuccess;
}

}  // namespace ordano::cli
