// SPDX-License-Identifier: Apache-2.0
#include <iostream>

#include "base/DateTime.h"
#include "catalog/CatalogUpdate.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/OpenOffice.h"
#include "cli/TerminalUi.h"
#include "office/Office.h"
#include "office/Parameters.h"

namespace ordano::cli {
namespace {

// How a step's mark reads: for a person, and in the JSON document.
struct MarkNames {
    const char* word;
    const char* code;
};

MarkNames names_of(StepMark mark) {
    switch (mark) {
        case StepMark::UnderWay:
            return {"en curso", "under_way"};
        case StepMark::Finished:
            return {"terminado", "finished"};
        case StepMark::Result:
            return {"resultado", "result"};
        case StepMark::None:
            break;
    }
    return {"", "none"};
}

const char* outcome_code(UpdateOutcome outcome) {
    switch (outcome) {
        case UpdateOutcome::Installed:
            return "installed";
        case UpdateOutcome::NoNewerCatalogue:
            return "no_newer_catalogue";
        case UpdateOutcome::NoVersionList:
            return "no_version_list";
        case UpdateOutcome::Failed:
            return "failed";
        case UpdateOutcome::Busy:
            return "busy";
        case UpdateOutcome::Stopped:
            break;
    }
    return "stopped";
}

// Prints each step as it is marked and the result line as it changes.
class TerminalObserver : public CatalogUpdateObserver {
public:
    void step_marked(int step, StepMark mark) override {
        if (mark != StepMark::None) {
            std::cout << "Paso " << step << " - "
                      << kUpdateSteps.at(static_cast<std::size_t>(step - 1)) << ": "
                      << names_of(mark).word << "\n";
        }
    }
    void result_changed(const std::string& text) override {
        if (!text.empty()) {
            std::cout << text << "\n";
        }
    }
};

struct Versions {
    std::int64_t before = 0;
    std::int64_t after = 0;
};

void write_json(const CatalogUpdate& update, UpdateOutcome outcome, int status, Versions versions) {
    JsonWriter json(std::cout);
    json.begin_object()
        .member("command", "update-catalog")
        .member("status", status)
        .member("outcome", outcome_code(outcome))
        .member("version_before", versions.before)
        .member("version_after", versions.after);
    json.key("steps").begin_array();
    for (int step = 1; step <= static_cast<int>(kUpdateSteps.size()); ++step) {
        json.begin_object()
            .member("step", step)
            .member("name", kUpdateSteps.at(static_cast<std::size_t>(step - 1)))
            .member("state", names_of(update.mark(step)).code)
            .end_object();
    }
    json.end_array().member("result", update.result()).end_object();
}

}  // namespace

int update_catalog_command(const Invocation& invocation) {
    reject_operands(invocation.args);
    const bool yes = invocation.args.has("--yes");
    const bool json = invocation.args.has("--json");
    SystemClock clock;
    auto office = open_office(invocation, clock, OfficeUse::Work);
    TerminalUi ui(yes, std::cerr, invocation.verbosity, invocation.error_prefix());
    TerminalObserver observer;
    CatalogUpdate update(*office, ui);
    // -q and --json tell the result at the end, not each step as it goes.
    const bool live = !json && invocation.verbosity != Verbosity::Quiet;
    update.set_observer(live ? &observer : nullptr);

    Versions versions{.before = office->params().number(Param::vererr)};
    const UpdateOutcome outcome = update.recibir();
    versions.after = office->params().number(Param::vererr);
    int status = kExitSuccess;
    if (outcome == UpdateOutcome::NoVersionList) {
        std::cerr << invocation.error_prefix()
                  << "El servidor no publica la lista de actualizaciones revact.txt\n";
        status = kExitFailure;
    } else if (outcome != UpdateOutcome::Installed && outcome != UpdateOutcome::NoNewerCatalogue) {
        // The failure was told as it came; the status says its cause.
        status = more_telling(kExitFailure, ui.failures_told().code());
    }
    if (json) {
        write_json(update, outcome, status, versions);
    } else if (!live && !update.result().empty()) {
        std::cout << update.result() << "\n";
    }
    return status;
}

}  // namespace ordano::cli
