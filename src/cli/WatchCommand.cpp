// SPDX-License-Identifier: Apache-2.0
#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <stop_token>
#include <vector>

#include "base/FileNames.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/OpenOffice.h"
#include "cli/PaymentPasswordPrompt.h"
#include "cli/TerminalUi.h"
#include "cli/WatchPrinter.h"
#include "engine/EngineDeskWork.h"
#include "office/Journal.h"
#include "office/Office.h"
#include "platform/OwnerOnly.h"
#include "transfer/FolderWatch.h"

namespace ordano::cli {
namespace {

// The shortest settle time by default: a program writing a file may pause that long.
constexpr std::chrono::seconds kLeastSettle{10};

struct WatchRequest {
    std::chrono::seconds interval{30};
    std::optional<std::chrono::seconds> settle;
    bool password_stdin = false;
    std::optional<std::string> password_file;
    bool once = false;
    bool json = false;
};

WatchRequest parse_request(const Invocation& invocation) {
    const ParsedArgs& options = invocation.args;
    reject_operands(options);
    WatchRequest request;
    if (const auto interval = options.value("--interval")) {
        request.interval =
            seconds_value(*interval, 1, "--interval espera un número de segundos (1 o más): ");
    }
    if (const auto settle = options.value("--settle")) {
        request.settle =
            seconds_value(*settle, 1, "--settle espera un número de segundos (1 o más): ");
    }
    request.password_stdin = options.has("--password-stdin");
    request.password_file = options.value("--password-file");
    request.once = options.has("--once");
    request.json = options.has("--json");
    if (request.password_stdin && request.password_file) {
        throw UsageError("--password-stdin y --password-file no van juntas");
    }
    return request;
}

// The payment password's file, once checked: it must be the owner's secret alone.
std::istringstream read_password_file(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("No se puede leer el archivo de la contraseña " + file + ".");
    }
    if (open_to_others(file)) {
        throw std::runtime_error("El archivo de la contraseña " + file +
                                 " lo pueden leer otros usuarios; déjelo solo para su dueño (" +
                                 std::string(owner_only_hint()) + ").");
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::istringstream(bytes.str());
}

}  // namespace

int watch_command(const Invocation& invocation) {
    const WatchRequest request = parse_request(invocation);
    std::optional<std::istringstream> password_file;
    if (request.password_file) {
        password_file.emplace(read_password_file(*request.password_file));
    }
    std::istream* password_in = password_file            ? &*password_file
                                : request.password_stdin ? &std::cin
                                                         : nullptr;

    // SIGINT or SIGTERM is how a watch ends (exit status 0): the stop cancels the transfer in
    // flight, and the watch leaves at once.
    const std::stop_token stop = invocation.stop.get_token();
    const SystemClock clock;
    const auto office = open_office(invocation, clock, OfficeUse::Work);
    office->journal().on_trouble([](const std::string& text) { std::cerr << text << "\n"; });
    TerminalUi terminal(false, std::cerr, invocation.verbosity, invocation.error_prefix());
    PaymentPasswordPrompt password(office->session(), terminal, password_in, std::cerr);
    terminal.set_password_prompt([&password] { return password.ask(); });

    // A running watch waits two of its intervals; --once, which has none to wait, the least.
    const std::chrono::seconds settle = request.settle.value_or(
        request.once ? kLeastSettle : std::max(2 * request.interval, kLeastSettle));
    const WatchPrinter printer(std::cout, request.json);
    std::vector<WatchEvent> failures;
    const auto tell = [&printer, &failures](const WatchEvent& event) {
        printer(event);
        if (event.kind == WatchEvent::Kind::Failure) {
            failures.push_back(event);
        }
    };
    int status = kExitSuccess;
    {
        WatchUi watch_ui(terminal, password_in != nullptr);
        EngineDeskWork work(*office, watch_ui);
        FolderWatch watch(*office, work, watch_ui, {request.interval, settle}, tell);
        if (request.once) {
            status = watch.once(stop) ? kExitSuccess : kExitFailure;
        } else {
            watch.run(stop);
        }
    }  // the files it listed and did not send leave the send list; the engine ends
    if (status != kExitSuccess) {
        // Some failures (a session the server ended, a transfer it refused) are no message of
        // the core's: a failing run says them all where errors go.
        for (const WatchEvent& failure : failures) {
            std::cerr << invocation.error_prefix() << event_words(failure) << "\n";
        }
    }
    return more_telling(status, close_journal(*office));
}

}  // namespace ordano::cli
