#include <iostream>

#include "cli/Commands.h"
#include "cli/OpenOffice.h"
#include "cli/Options.h"
#include "platform/BinaryOutput.h"
#include "review/AnswerKind.h"
#include "review/OfficeReview.h"
#include "store/Office.h"

namespace ordano::cli {
namespace {

std::string answer_name(const Invocation& invocation) {
    const auto names = Options(invocation.args).positionals();
    if (names.empty()) {
        throw UsageError("falta el nombre del archivo de respuesta");
    }
    if (names.size() > 1) {
        throw UsageError("argumento de más: " + names[1]);
    }
    // The kind of answer is read from the bare name; the folder comes from the parameters.
    if (names.front().find_first_of("/\\") != std::string::npos) {
        throw UsageError("el archivo de respuesta se da por su nombre, sin carpeta: " +
                         names.front());
    }
    return names.front();
}

// A name whose kind says no receive folder (the window shows an empty box or the header
// alone for it) names no answer this command could print.
bool names_an_answer(std::string_view name) {
    const AnswerKind kind = classify_answer(name);
    return kind != AnswerKind::Unknown && kind != AnswerKind::UnknownErr;
}

}  // namespace

int review_command(const Invocation& invocation) {
    const std::string name = answer_name(invocation);
    if (!names_an_answer(name)) {
        std::cerr << "El nombre " << name
                  << " no es el de una respuesta que se pueda revisar; no se sabe en qué "
                     "carpeta buscarla.\n";
        return kExitFailure;
    }
    const SystemClock clock;
    const auto office = open_office(invocation, clock);
    // The report's CR LF line ends go out as they are.
    std::cout.flush();
    set_binary_mode(stdout);
    // Written as it is rendered: a report of any size takes little memory.
    ReviewContext context = review_context(*office);
    context.out = &std::cout;
    const ReviewResult result = Revisa_Archivo(kReviewTitle, name, context);
    std::cout << std::flush;
    if (result.failure) {
        std::cerr << result.failure->message << "\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace ordano::cli
