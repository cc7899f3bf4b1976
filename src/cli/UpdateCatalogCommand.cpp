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

// Prints each step as it is marked and the result line as it changes.
class TerminalObserver : public CatalogUpdateObserver {
public:
    explicit TerminalObserver(std::ostream& out) : out_(out) {}

    void step_marked(int step, StepMark mark) override {
        if (mark != StepMark::None) {
            out_ << "Paso " << step << " - " << kUpdateSteps.at(static_cast<std::size_t>(step - 1))
                 << ": " << mark_word(mark) << "\n";
        }
    }
    void result_changed(const std::string& text) override {
        if (!text.empty()) {
            out_ << text << "\n";
        }
    }

private:
    std::ostream& out_;
};

}  // namespace

int update_catalog_command(const Invocation& invocation) {
    reject_operands(invocation.args);
    const bool yes = invocation.args.has("--yes");
    SystemClock clock;
    auto office = open_office(invocation.paths, clock);
    TerminalUi ui(yes, std::cerr);
    TerminalObserver observer(std::cout);
    CatalogUpdate update(*office, ui);
    update.set_observer(&observer);

    switch (update.Movimientos(Action::Recibir)) {
        case UpdateOutcome::Installed:
        case UpdateOutcome::NoNewerCatalogue:
            return kExitSuccess;
        case UpdateOutcome::NoVersionList:
            std::cerr << "El servidor no publica la lista de actualizaciones revact.txt\n";
            return kExitFailure;
        case UpdateOutcome::Failed:
        case UpdateOutcome::Busy:
        case UpdateOutcome::Closed:
            break;
    }
    return kExitFailure;
}

}  // namespace ordano::cli
