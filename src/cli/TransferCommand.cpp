#include "cli/TransferCommand.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/AnswerPolling.h"
#include "cli/OpenOffice.h"
#include "cli/Options.h"
#include "cli/PaymentPasswordPrompt.h"
#include "cli/TerminalUi.h"
#include "store/DateTime.h"
#include "store/FileNames.h"
#include "store/Office.h"
#include "transfer/Routing.h"
#include "transfer/TransferDesk.h"
#include "transfer/TypedFile.h"

namespace ordano::cli {
namespace {

namespace fs = std::filesystem;

struct TransferRequest {
    std::optional<std::chrono::seconds> wait;
    bool password_stdin = false;
    bool yes = false;
    bool pending = false;  // every answer the journal still awaits, instead of named files
    std::vector<std::string> names;
};

std::chrono::seconds parse_seconds(const std::string& text) {
    int value = -1;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 0) {
        throw UsageError("--wait espera un número de segundos: " + text);
    }
    return std::chrono::seconds(value);
}

TransferRequest parse_request(const Invocation& invocation) {
    Options options(invocation.args);
    TransferRequest request;
    if (const auto wait = options.take_value("--wait")) {
        request.wait = parse_seconds(*wait);
    }
    request.password_stdin = options.take_flag("--password-stdin");
    request.yes = options.take_flag("--yes");
    request.pending = options.take_flag("--pending");
    request.names = options.positionals();
    if (request.pending && !request.names.empty()) {
        throw UsageError("--pending no lleva nombres de archivo");
    }
    if (!request.pending && request.names.empty()) {
        throw UsageError("falta al menos un archivo");
    }
    for (const auto& name : request.names) {
        // The kind of a file comes from its name and its folder from the parameters.
        if (name.empty() || name.find_first_of("/\\") != std::string::npos) {
            throw UsageError("cada archivo se da por su nombre, sin carpeta: " + name);
        }
    }
    return request;
}

// The name as the send list takes it (upper case, as the search puts it), when that file is in
// the send folder of its kind, its letter case ignored as the sending run ignores it.
std::optional<std::string> look_up(const std::string& name, const LocalFolders& folders) {
    const auto folder = typed_name_folder(name, folders);
    if (!folder || !find_file_ignoring_case(path_in_folder(*folder, ""), name)) {
        return std::nullopt;
    }
    return upper_case_name(name);
}

bool in_receive_list(TransferDesk& desk, const std::string& name) {
    const auto& rows = desk.receive_list().rows();
    return std::ranges::any_of(rows, [&name](const ReceiveRow& row) { return row.text == name; });
}

class TransferJob {
public:
    TransferJob(const Invocation& invocation, const TransferRequest& request)
        : office_(open_office(invocation, clock_)),
          ui_(request.yes, std::cerr),
          password_(office_->session(), ui_, request.password_stdin ? &std::cin : nullptr,
                    std::cerr),
          desk_(
              office_->session(), office_->params(), office_->journal(), ui_, clock_,
              office_->locale(), [] {},  // no window, no bulletin ticker to refresh
              office_->stop_token()),
          polling_(desk_, office_->session(), invocation.stop, std::cerr, std::cout) {
        ui_.set_password_prompt([this] { return password_.ask(); });
        office_->journal().on_trouble([](const std::string& text) { std::cerr << text << "\n"; });
    }

    // Files this command put on its send list and did not send leave with it.
    ~TransferJob() { desk_.send_list().clear(); }
    TransferJob(const TransferJob&) = delete;
    TransferJob& operator=(const TransferJob&) = delete;

    // The answers the journal still awaits, on the receive list; false when there are none.
    bool take_pending() {
        desk_.restore_from_journal(false);
        return !desk_.receive_list().empty();
    }

    // Puts the files on the send list; false when one of them is not there.
    bool list_files(const std::vector<std::string>& names) {
        bool all = true;
        for (const auto& name : names) {
            const auto listed = look_up(name, office_->session().folders);
            if (!listed) {
                ui_.message("El archivo juliano no existe en las rutas configuradas.",
                            MessageIcon::Information, MessageButtons::Ok);
                std::cerr << "  (" << name << ")\n";
                all = false;
                continue;
            }
            // With the answer folders of its kind, which reception needs to find the answers.
            if (desk_.lvwArchivos_DblClick(*listed)) {
                listed_.push_back(*listed);
            }
        }
        return all;
    }

    // The action, then: false when a listed file did not reach the receive list.
    bool act(Action action) {
        if (listed_.empty()) {
            return false;
        }
        desk_.Ejecuta_Accion(action);
        bool all = true;
        for (const auto& name : listed_) {
            if (!in_receive_list(desk_, name)) {
                std::cerr << (action == Action::Enviar ? "No se envió el archivo "
                                                       : "No se recibe el archivo ")
                          << name << ".\n";
                all = false;
            }
        }
        return all && !password_.refused();
    }

    // One look at the server; what is still awaited is listed and stays awaited.
    void poll_once() {
        if (!polling_.poll_once()) {
            std::cerr << "Siguen en espera:\n";
            for (const auto& line : polling_.missing()) {
                std::cerr << "  " << line << "\n";
            }
        }
    }

    bool wait(std::chrono::seconds limit) {
        if (polling_.wait(limit)) {
            return true;
        }
        std::cerr << "Terminó la espera sin todas las respuestas; faltan:\n";
        for (const auto& line : polling_.missing()) {
            std::cerr << "  " << line << "\n";
        }
        return false;
    }

private:
    SystemClock clock_;
    std::unique_ptr<Office> office_;
    TerminalUi ui_;
    PaymentPasswordPrompt password_;
    TransferDesk desk_;
    AnswerPolling polling_;
    std::vector<std::string> listed_;
};

}  // namespace

int transfer_command(const Invocation& invocation, Action action) {
    const TransferRequest request = parse_request(invocation);
    if (request.pending && action != Action::Recibir) {
        throw UsageError("--pending es una opción de receive");
    }
    TransferJob job(invocation, request);
    if (request.pending) {
        if (!job.take_pending()) {
            std::cerr << "No hay respuestas en espera.\n";
            return kExitSuccess;
        }
        if (!request.wait) {
            job.poll_once();
            return kExitSuccess;
        }
        return job.wait(*request.wait) ? kExitSuccess : kExitFailure;
    }
    bool ok = job.list_files(request.names);
    ok = job.act(action) && ok;
    if (request.wait) {
        ok = job.wait(*request.wait) && ok;
    }
    return ok ? kExitSuccess : kExitFailure;
}

}  // namespace ordano::cli
