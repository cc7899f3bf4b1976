// SPDX-License-Identifier: Apache-2.0
#include <filesystem>
#include <iostream>
#include <optional>

#include "base/Errors.h"
#include "cli/Commands.h"
#include "cli/OpenOffice.h"
#include "cli/ReportOutput.h"
#include "office/Office.h"
#include "review/AnswerKind.h"
#include "review/OfficeReview.h"

namespace ordano::cli {
namespace {

namespace fs = std::filesystem;

// An answer named bare (looked up in the receive folder of its kind) or by a path to the file.
struct AnswerArgument {
    std::string name;
    std::optional<fs::path> folder;
};

AnswerArgument answer_argument(const Invocation& invocation) {
    const auto& names = invocation.args.operands();
    if (names.empty()) {
        throw UsageError("falta la respuesta: su nombre o la ruta del archivo");
    }
    if (names.size() > 1) {
        throw UsageError("argumento de más: " + names[1]);
    }
    const fs::path given(names.front());
    if (!given.has_parent_path()) {
        return {names.front(), std::nullopt};
    }
    if (!given.has_filename()) {
        throw UsageError("la ruta no nombra un archivo de respuesta: " + names.front());
    }
    // The kind of answer still comes from the file's name; only its folder is given.
    return {given.filename().string(), fs::absolute(given).parent_path()};
}

// Every kind's answers are read from `folder`.
void read_from(ReviewContext& context, const fs::path& folder) {
    const std::string text = folder.string();
    context.folders = ReceiveFolders{text, text, text, text, text, text};
    context.dialog_val_rec = text;
}

// A name whose kind says no receive folder (the window shows an empty box or the header
// alone for it) names no answer this command could print.
bool names_an_answer(std::string_view name) {
    const AnswerKind kind = classify_answer(name);
    return kind != AnswerKind::Unknown && kind != AnswerKind::UnknownErr;
}

}  // namespace

int review_command(const Invocation& invocation) {
    const AnswerArgument answer = answer_argument(invocation);
    if (!names_an_answer(answer.name)) {
        std::cerr << invocation.error_prefix() << "El nombre " << answer.name
                  << " no es el de una respuesta que se pueda revisar; no se sabe en qué "
                     "carpeta buscarla.\n";
        return kExitFailure;
    }
    const SystemClock clock;
    const auto office = open_office(invocation, clock);
    ReviewContext context = review_context(*office);
    if (answer.folder) {
        read_from(context, *answer.folder);
    }
    // Written as it is rendered: a report of any size takes little memory.
    std::optional<ReportFile> file;
    std::optional<TerminalReport> terminal;
    const auto output = invocation.args.value("--output");
    context.out = output ? &file.emplace(*output).stream() : &terminal.emplace().stream();
    const ReviewResult result = review_answer(kReviewTitle, answer.name, context);
    // An answer read in part still gives what was gathered before the reason; one that is not
    // there gives no file.
    const bool missing = result.failure && result.failure->number == error_number::kPathNotFound;
    if (file && !missing) {
        file->commit();
    }
    terminal.reset();  // the report before the reason
    if (!result.failure) {
        return kExitSuccess;
    }
    std::cerr << invocation.error_prefix() << result.failure->message << "\n";
    // An answer not there (yet) is no fault of this workstation; one it cannot read, or a
    // catalogue it cannot consult, is.
    return missing ? kExitFailure : exit_code::kLocalProblem;
}

}  // namespace ordano::cli
