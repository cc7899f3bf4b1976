#include <iostream>

#include "catalog/CatalogUpdate.h"
#include "cli/Commands.h"
#include "cli/OpenOffice.h"
#include "cli/TerminalUi.h"
#include "store/DateTime.h"
#include "store/Office.h"

namespace ordano::cli {
namespace {

const char* mark_word(StepMark mark) {
    switch (mark) {
        case StepMark::UnderWay:
            return "en curso";
        case StepMark::Finished:
            return "terminado";
        case StepMark::Result:
            return "resultado";
        case StepMark::None:
            break;
    }
    return "";
}

// Prints each step as it is marked and the result line as it changes; with -q only the last
// result line, once the run is over (finish()).
class TerminalObserver : public CatalogUpdateObserver {
public:
    explicit TerminalObserver(bool quiet) : quiet_(quiet) {}

    void step_marked(int step, StepMark mark) override {
        if (mark != StepMark::None && !quiet_) {
            std::cout << "Paso " << step << " - "
                      << kUpdateSteps.at(static_cast<std::size_t>(step - 1)) << ": "
                      << mark_word(mark) << "\n";
        }
    }
    void result_changed(const std::string& text) override {
        if (!text.empty()) {
            result_ = text;
            if (!quiet_) {
                std::cout << text << "\n";
            }
        }
    }
    void finish() const {
        if (quiet_ && !result_.empty()) {
            std::cout << result_ << "\n";
        }
    }

private:
    bool quiet_;
    std::string result_;
};

}  // namespace

int update_catalog_command(const Invocation& invocation) {
    reject_operands(invocation.args);
    const bool yes = invocation.args.has("--yes");
    SystemClock clock;
    auto office = open_office(invocation.paths, clock);
    TerminalUi ui(yes, std::cerr, invocation.verbosity, invocation.error_prefix());
    TerminalObserver observer(invocation.verbosity == Verbosity::Quiet);
    CatalogUpdate update(*office, ui);
    update.set_observer(&observer);

    const UpdateOutcome outcome = update.Movimientos(Action::Recibir);
    observer.finish();
    switch (outcome) {
        case UpdateOutcome::Installed:
        case UpdateOutcome::NoNewerCatalogue:
            return kExitSuccess;
        case UpdateOutcome::NoVersionList:
            std::cerr << invocation.error_prefix()
                      << "El servidor no publica la lista de actualizaciones revact.txt\n";
            return kExitFailure;
        case UpdateOutcome::Failed:
        case UpdateOutcome::Busy:
        case UpdateOutcome::Closed:
            break;
    }
    // The failure was told as it came; the status says its cause.
    return more_telling(kExitFailure, ui.take_failures_met().code());
}

}  // namespace ordano::cli
