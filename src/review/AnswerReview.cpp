// SPDX-License-Identifier: Apache-2.0
#include "review/AnswerReview.h"

#include <array>
#include <variant>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/FileNames.h"
#include "review/AnswerFile.h"
#include "review/AnswerKind.h"
#include "review/AnswerLineReader.h"
#include "review/RecordRules.h"

namespace ordano {
namespace {

using review::LineRule;

// Where each kind that is read line by line comes from, and its record rules.
struct LineKind {
    AnswerKind kind;
    std::string ReceiveFolders::*folder;
    LineRule rule;
};

constexpr LineKind kLineKinds[] = {
    {AnswerKind::SaaiM3, &ReceiveFolders::val_rec, review::render_m_line},
    {AnswerKind::TAnswer, &ReceiveFolders::tra_rec, review::render_t_line},
    {AnswerKind::CAnswer, &ReceiveFolders::val_rec, review::render_c_line},
    {AnswerKind::DAnswer, &ReceiveFolders::val_rec, review::render_d_line},
    {AnswerKind::AAnswer, &ReceiveFolders::pag_rec, review::render_a_line},
    {AnswerKind::RAnswer, &ReceiveFolders::pag_rec, review::render_r_line},
    {AnswerKind::XAnswer, &ReceiveFolders::sag_rec, review::render_x_line},
    {AnswerKind::PAnswer, &ReceiveFolders::api_rec, review::render_p_line},
    {AnswerKind::QAnswer, &ReceiveFolders::prof_rec, review::render_q_line},
};

const LineKind* line_kind_of(AnswerKind kind) {
    for (const auto& entry : kLineKinds) {
        if (entry.kind == kind) {
            return &entry;
        }
    }
    return nullptr;
}

std::optional<ReviewFailure> folder_not_set(std::string_view folder, std::string_view file_name) {
    if (!folder.empty()) {
        return std::nullopt;
    }
    return ReviewFailure{
        error_number::kPathNotFound,
        "No está configurada la carpeta de recepción del archivo " + std::string(file_name)};
}

void render_lines(std::string_view folder, std::string_view file_name, LineRule rule,
                  const ReviewContext& context, ReviewResult& result) {
    if ((result.failure = folder_not_set(folder, file_name))) {
        return;
    }
    const auto path = path_in_folder(folder, file_name);
    std::ifstream in;
    if ((result.failure = review::open_answer(path, in))) {
        return;
    }
    if (context.out != nullptr) {
        *context.out << result.header;  // the body follows it as it is rendered
        result.header.clear();
    }
    review::ReportText report(context.out);
    review::CatalogLookups catalog(context.catalog);
    const auto read_scope = catalog.read_scope();
    review::RenderContext render{report, catalog, context.locale};
    review::AnswerLineReader reader(in);
    std::string_view line;
    while (reader.next(line)) {
        rule(line, render);
    }
    result.body = report.take();
    if (reader.failed()) {
        result.failure = review::unfinished_read(path);
    } else if (catalog.failure()) {
        result.failure = ReviewFailure{
            0, "No se pudieron consultar las descripciones del catálogo de errores: " +
                   *catalog.failure()};
    }
}

// The file's own text straight to the output, a piece at a time.
void stream_file_text(const std::filesystem::path& path, std::ostream& out, ReviewResult& result) {
    std::ifstream in;
    if ((result.failure = review::open_answer(path, in))) {
        return;
    }
    result.box = ReviewResult::Box::FileText;
    std::array<char, 64 * 1024> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        out << text::cp1252_to_utf8(
            std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (in.bad()) {
        result.failure = review::unfinished_read(path);
    }
}

void load_prevalidation(std::string_view file_name, const ReviewContext& context,
                        ReviewResult& result) {
    if ((result.failure = folder_not_set(context.dialog_val_rec, file_name))) {
        return;
    }
    if (context.out != nullptr) {
        stream_file_text(path_in_folder(context.dialog_val_rec, file_name), *context.out, result);
        return;
    }
    auto text = review::read_answer_text(path_in_folder(context.dialog_val_rec, file_name));
    if (auto* failure = std::get_if<ReviewFailure>(&text)) {
        result.failure = std::move(*failure);
        return;
    }
    result.box = ReviewResult::Box::FileText;
    result.body = std::move(std::get<std::string>(text));
}

}  // namespace

std::string ReviewResult::box_text() const {
    switch (box) {
        case Box::FileText:
            return body;
        case Box::Empty:
            return {};
        case Box::Report:
            break;
    }
    return header + body;
}

std::string review_header(std::string_view title, std::string_view file_name,
                          const LocalDateTime& now, const LocaleFormats& locale) {
    std::string header(title);
    header += " Archivo: ";
    header += text::upper_case(file_name);
    header += "  -  ";
    header += short_date(now.date, locale);
    header += "  ";
    header += time_hh_mm_ss_ampm(now, locale);
    header += "\r\n\r\n";
    return header;
}

ReviewResult review_answer(std::string_view title, std::string_view file_name,
                           const ReviewContext& context) {
    ReviewResult result;
    result.header = review_header(title, file_name, context.now, context.locale);
    const AnswerKind kind = classify_answer(file_name);
    if (kind == AnswerKind::Unknown) {
        result.box = ReviewResult::Box::Empty;
    } else if (kind == AnswerKind::Prevalidation) {
        load_prevalidation(file_name, context, result);
    } else if (const LineKind* entry = line_kind_of(kind)) {
        render_lines(context.folders.*(entry->folder), file_name, entry->rule, context, result);
    }
    // An "err" name of no known initial keeps the header alone.
    if (context.out != nullptr) {
        // An answer that could not be opened writes nothing: its failure says why.
        if (!result.failure || result.header.empty()) {
            *context.out << result.box_text();
        }
        result.header.clear();
        result.body.clear();
    }
    return result;
}

}  // namespace ordano
