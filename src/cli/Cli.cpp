#include "cli/Cli.h"

#include <array>
#include <iostream>
#include <string_view>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "platform/StopRequests.h"

namespace ordano::cli {
namespace {

struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(const Invocation&);
    bool ends_by_stop = false;  // see Invocation
};

constexpr std::array kCommands = {
    Command{"init", "init --db-folder DIR --patente N --agente NOMBRE [--host DIRECCION]",
            init_command},
    Command{"review", "review ARCHIVO", review_command},
    Command{"send", "send [--wait SEGUNDOS] [--password-stdin] [--yes] ARCHIVO...", send_command},
    Command{"receive",
            "receive [--wait SEGUNDOS] [--password-stdin] [--yes] (ARCHIVO... | --pending)",
            receive_command},
    Command{"history",
            "history [--since AAAA-MM-DD] [--until AAAA-MM-DD] [--status ESTADO] [--json]",
            history_command},
    Command{"pending", "pending [--json]", pending_command},
    Command{"update-catalog", "update-catalog [--yes]", update_catalog_command},
    Command{"watch",
            "watch [--interval SEGUNDOS] [--password-stdin | --password-file ARCHIVO] [--once] "
            "[--json]",
            watch_command, true},
};

void print_usage() {
    std::cerr << "uso: ordano-cli [--ini ARCHIVO] [--root CARPETA] <orden> [opciones]\n";
    for (const auto& command : kCommands) {
        std::cerr << "  ordano-cli " << command.usage << "\n";
    }
}

std::filesystem::path executable_dir(const char* argv0) {
    std::error_code ec;
    auto path = std::filesystem::canonical(argv0, ec);
    return ec ? std::filesystem::current_path() : path.parent_path();
}

// Parses the global options and runs the subcommand.
int run_command(int argc, char** argv, Invocation& invocation) {
    Options options(std::vector<std::string>(argv + 1, argv + argc));
    invocation.paths.executable_dir = executable_dir(argv[0]);
    const Command* command = nullptr;
    try {
        if (auto ini = options.take_value("--ini")) {
            invocation.paths.ini = *ini;
        }
        if (auto root = options.take_value("--root")) {
            invocation.paths.root = *root;
        }
        auto args = options.rest();
        if (args.empty()) {
            throw UsageError("falta la orden");
        }
        for (const auto& candidate : kCommands) {
            if (candidate.name == args.front()) {
                command = &candidate;
            }
        }
        if (command == nullptr) {
            throw UsageError("orden desconocida: " + args.front());
        }
        invocation.args.assign(args.begin() + 1, args.end());
        invocation.ends_by_stop = command->ends_by_stop;
        return command->run(invocation);
    } catch (const UsageError& e) {
        std::cerr << "ordano-cli: " << e.what() << "\n";
        if (command != nullptr) {
            std::cerr << "uso: ordano-cli " << command->usage << "\n";
        } else {
            print_usage();
        }
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

int run(int argc, char** argv) {
    Invocation invocation;
    // While the command runs, SIGINT and SIGTERM stop its work at once (the transfer in flight
    // cancelled, nothing partial left) instead of killing it midway; it then ends with 130 or
    // 143 whatever it achieved.
    const StopRequests stops([stop = invocation.stop](int) mutable { stop.request_stop(); });
    const int status = run_command(argc, argv, invocation);
    return stops.exit_status() != 0 && !invocation.ends_by_stop ? stops.exit_status() : status;
}

}  // namespace ordano::cli
