// SPDX-License-Identifier: Apache-2.0
#include "review/AnswerOutcome.h"

#include <cctype>
#include <fstream>

#include "review/AnswerKind.h"
#include "review/AnswerLineReader.h"

namespace ordano {
namespace {

char upper_at(std::string_view line, std::size_t index) {
    return index < line.size()
               ? static_cast<char>(std::toupper(static_cast<unsigned char>(line[index])))
               : '\0';
}

bool is_digit_at(std::string_view line, std::size_t index) {
    return index < line.size() && std::isdigit(static_cast<unsigned char>(line[index])) != 0;
}

// A payment "R" record that is not a signature-and-totals record is an error.
bool r_record_is_error(std::string_view record) {
    return !record.empty() && (record.size() == 9 || upper_at(record, 7) != '@');
}

bool r_line_has_error(std::string_view line) {
    if (line.size() == 66 || line.size() == 9) {
        return r_record_is_error(line);
    }
    // Records separated by LF; what follows the last LF is not a record.
    std::size_t start = 0;
    for (std::size_t lf = line.find('\n'); lf != std::string_view::npos;
         lf = line.find('\n', start)) {
        if (r_record_is_error(line.substr(start, lf - start))) {
            return true;
        }
        start = lf + 1;
    }
    return false;
}

// Whether one line of an answer of this kind is an error record (the layouts the review reads).
bool is_error_line(AnswerKind kind, std::string_view line) {
    if (line.empty()) {
        return false;
    }
    switch (kind) {
        case AnswerKind::SaaiM3:
            return is_digit_at(line, 1) && (line[0] == 'E' || line[0] == 'A');
        case AnswerKind::TAnswer:
            return line.size() >= 8 && line[7] != 'C' && line[7] != 'F';
        case AnswerKind::CAnswer:
            return line.substr(0, 3) != "200";
        case AnswerKind::DAnswer:
            return line[0] != 'F';
        case AnswerKind::AAnswer:
            return line.size() <= 78;
        case AnswerKind::RAnswer:
            return r_line_has_error(line);
        case AnswerKind::XAnswer:
        case AnswerKind::PAnswer:
        case AnswerKind::QAnswer:
            return upper_at(line, 0) == 'E';
        default:
            return false;
    }
}

bool classifiable(AnswerKind kind) {
    return kind != AnswerKind::UnknownErr && kind != AnswerKind::Unknown;
}

}  // namespace

std::optional<AnswerOutcome> answer_outcome(std::string_view name,
                                            const std::filesystem::path& file) {
    const AnswerKind kind = classify_answer(name);
    if (kind == AnswerKind::Prevalidation) {
        return AnswerOutcome::Prevalidated;
    }
    if (!classifiable(kind)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    review::AnswerLineReader reader(in);
    std::string_view line;
    while (reader.next(line)) {
        if (is_error_line(kind, line)) {
            return AnswerOutcome::Rejected;
        }
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    return AnswerOutcome::Accepted;
}

}  // namespace ordano
