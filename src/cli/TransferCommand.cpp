// SPDX-License-Identifier: Apache-2.0
#include "cli/TransferCommand.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

#include "base/DateTime.h"
#include "base/FileNames.h"
#include "cli/AnswerPolling.h"
#include "cli/OpenOffice.h"
#include "cli/PaymentPasswordPrompt.h"
#include "cli/TerminalUi.h"
#include "cli/TransferReport.h"
#include "engine/EngineDeskWork.h"
#include "office/Office.h"
#include "transfer/JournalRecorder.h"
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
    bool json = false;
    bool pending = false;  // every answer the journal still awaits, instead of named files
    std::vector<std::string> names;
};

TransferRequest parse_request(const Invocation& invocation) {
    const ParsedArgs& options = invocation.args;
    TransferRequest request;
    if (const auto wait = options.value("--wait")) {
        request.wait = seconds_value(*wait, 0, "--wait espera un número de segundos: ");
    }
    request.password_stdin = options.has("--password-stdin");
    request.yes = options.has("--yes");
    request.json = options.has("--json");
    request.pending = options.has("--pending");
    request.names = options.operands();
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

const ReceiveRow* in_receive_list(TransferDesk& desk, const std::string& name) {
    const auto& rows = desk.receive_list().rows();
    const auto it =
        std::ranges::find_if(rows, [&name](const ReceiveRow& row) { return row.text == name; });
    return it == rows.end() ? nullptr : &*it;
}

class TransferJob {
public:
    TransferJob(const Invocation& invocation, const TransferRequest& request)
        : office_(open_office(invocation, clock_, OfficeUse::Work)),
          ui_(request.yes, std::cerr, invocation.verbosity, invocation.error_prefix()),
          prefix_(invocation.error_prefix()),
          password_(office_->session(), ui_, request.password_stdin ? &std::cin : nullptr,
                    std::cerr),
          work_(*office_, ui_),
          // With --json the answers' paths go into the document instead.
          polling_(work_, office_->session(), invocation.stop, invocation.progress(),
                   request.json ? null_stream() : std::cout) {
        ui_.set_password_prompt([this] { return password_.ask(); });
        office_->journal().on_trouble([](const std::string& text) { std::cerr << text << "\n"; });
        // A local fault (a receive folder that cannot be written, its disk full) is for a
        // person to mend, even when the polling went on past it; why a file was not sent, as
        // the journal keeps it, is said with the file.
        desk().journal().on_failure([this](const FailureNotice& notice) {
            if (exit_code_for_number(notice.number) == exit_code::kLocalProblem) {
                local_faults_.add(exit_code::kLocalProblem);
            }
            failures_[notice.file] = notice;
        });
    }

    ~TransferJob() { clear_send_list(); }
    TransferJob(const TransferJob&) = delete;
    TransferJob& operator=(const TransferJob&) = delete;

    // The answers the journal still awaits, on the receive list; false when there are none.
    bool take_pending() {
        work_.with_turn([this] { desk().restore_from_journal(false); });
        const Sesion& session = office_->session();
        for (const ReceiveRow& row : desk().receive_list().rows()) {
            FileOutcome outcome;
            outcome.name = row.text;
            outcome.remote_folder = remote_folder_of(row.text);
            outcome.done = true;
            outcome.answers = answers_of(row, session.folders.val_rec);
            outcomes_.push_back(std::move(outcome));
        }
        return !desk().receive_list().empty();
    }

    // Puts the files on the send list; a file that is not there is a local problem.
    void list_files(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            const auto listed = look_up(name, office_->session().folders);
            if (!listed) {
                std::cerr << prefix_
                          << "El archivo juliano no existe en las rutas configuradas: " << name
                          << "\n";
                status_.add(exit_code::kLocalProblem);
                FileOutcome missing;
                missing.name = name;
                missing.reason = "no está en la carpeta de envío de su clase";
                missing.status = exit_code::kLocalProblem;
                outcomes_.push_back(std::move(missing));
                continue;
            }
            // With the answer folders of its kind, which reception needs to find the answers.
            bool added = false;
            work_.with_turn([&] { added = desk().add_file_to_send(*listed); });
            if (added) {
                listed_.push_back(*listed);
            }
        }
    }

    // The action, then: a listed file that did not reach the receive list fails the command.
    void act(Action action) {
        if (listed_.empty()) {
            status_.add(exit_code::kFailure);
            return;
        }
        (void)ui_.take_failures_met();
        (void)ui_.take_last_message();
        work_.run(action == Action::Enviar ? DeskWork::Run::Send : DeskWork::Run::Receive);
        const int met = more_telling(exit_code::kFailure, ui_.take_failures_met().code());
        const std::string told = ui_.take_last_message();
        const Sesion& session = office_->session();
        for (const auto& name : listed_) {
            FileOutcome outcome;
            outcome.name = name;
            outcome.remote_folder = remote_folder_of(name);
            if (const ReceiveRow* row = in_receive_list(desk(), name)) {
                outcome.done = true;
                outcome.answers = answers_of(*row, session.folders.val_rec);
            } else {
                std::cerr << prefix_
                          << (action == Action::Enviar ? "No se envió el archivo "
                                                       : "No se recibe el archivo ")
                          << name << (told.empty() ? because(name) : "") << ".\n";
                status_.add(met);
                outcome.reason = told.empty() ? std::string(exit_code_meaning(met)) : told;
                outcome.status = met;
            }
            outcomes_.push_back(std::move(outcome));
        }
        if (password_.refused()) {
            status_.add(exit_code::kRefused);
        }
    }

    // " (error 1000: texto)" for the last failure the file met, when no message said it (an
    // upload cut short says none); "" when it met none.
    [[nodiscard]] std::string because(const std::string& name) const {
        const auto it = failures_.find(name);
        if (it == failures_.end()) {
            return {};
        }
        const FailureNotice& failure = it->second;
        std::string text = failure.text;
        while (!text.empty() && (text.back() == '.' || text.back() == ' ')) {
            text.pop_back();
        }
        return " (" +
               (failure.number != 0 ? "error " + std::to_string(failure.number) + ": " : "") +
               text + ")";
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

    void wait(std::chrono::seconds limit, bool look_at_once) {
        if (polling_.wait(limit, look_at_once)) {
            return;
        }
        std::cerr << prefix_ << "Terminó la espera sin todas las respuestas; faltan:\n";
        for (const auto& line : polling_.missing()) {
            std::cerr << "  " << line << "\n";
        }
        status_.add(exit_code::kAnswersMissing);
    }

    // 0 when everything was done; else the most telling cause, among them the failures told
    // while the answers were awaited (the server unreachable, ...).
    [[nodiscard]] int exit_status() const {
        if (status_.code() == exit_code::kSuccess) {
            return exit_code::kSuccess;
        }
        return more_telling(more_telling(status_.code(), ui_.failures_told().code()),
                            local_faults_.code());
    }

    // The work is over: files this command put on its send list and did not send leave it,
    // and the journal is written (a journal that cannot be is a local problem).
    void conclude() {
        clear_send_list();
        status_.add(close_journal(*office_));
    }

    void write_json(std::string_view command) const {
        write_transfer_json(std::cout, command, exit_status(), outcomes_, polling_.stored());
    }

private:
    [[nodiscard]] TransferDesk& desk() { return work_.desk(); }
    void clear_send_list() {
        work_.with_turn([this] { desk().send_list().clear(); });
    }

    [[nodiscard]] std::optional<std::string> remote_folder_of(const std::string& name) const {
        const auto route = route_for(name, office_->session());
        return route ? std::optional(route->remote_in) : std::nullopt;
    }

    SystemClock clock_;
    std::unique_ptr<Office> office_;
    TerminalUi ui_;
    std::string prefix_;
    PaymentPasswordPrompt password_;
    EngineDeskWork work_;  // the engine that runs this command's transfers
    AnswerPolling polling_;
    std::vector<std::string> listed_;
    std::vector<FileOutcome> outcomes_;
    std::map<std::string, FailureNotice> failures_;  // the last failure met by each file
    ExitCause status_;
    ExitCause local_faults_;  // met on the way, whoever told them
};

}  // namespace

int transfer_command(const Invocation& invocation, Action action) {
    const TransferRequest request = parse_request(invocation);
    TransferJob job(invocation, request);
    if (request.pending) {
        if (!job.take_pending()) {
            invocation.progress() << "No hay respuestas en espera.\n";
        } else if (request.wait) {
            job.wait(*request.wait, true);
        } else {
            job.poll_once();
        }
    } else {
        job.list_files(request.names);
        job.act(action);
        // Answers of files already on the server may be there now; those of a file just
        // sent come later, so a sending waits for the window's first tick.
        const bool look_at_once = action == Action::Recibir;
        if (request.wait) {
            job.wait(*request.wait, look_at_once);
        } else if (look_at_once) {
            job.poll_once();
        }
    }
    job.conclude();
    if (request.json) {
        job.write_json(invocation.command);
    }
    return job.exit_status();
}

}  // namespace ordano::cli
