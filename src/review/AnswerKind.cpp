// SPDX-License-Identifier: Apache-2.0
#include "review/AnswerKind.h"

#include <cctype>

namespace ordano {
namespace {

std::string_view extension_of(std::string_view name) {
    return name.size() <= 3 ? name : name.substr(name.size() - 3);
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

AnswerKind classify_err(char initial) {
    switch (initial) {
        case 'M':
            return AnswerKind::SaaiM3;
        case 'T':
            return AnswerKind::TAnswer;
        case 'C':
            return AnswerKind::CAnswer;
        case 'D':
            return AnswerKind::DAnswer;
        default:
            return AnswerKind::UnknownErr;
    }
}

AnswerKind classify_other(char initial, std::string_view extension) {
    if (initial == 'K' || equals_ignoring_case(extension, "ERP")) {
        return AnswerKind::Prevalidation;
    }
    switch (initial) {
        case 'A':
            return AnswerKind::AAnswer;
        case 'R':
            return AnswerKind::RAnswer;
        case 'X':
            return AnswerKind::XAnswer;
        case 'P':
            return AnswerKind::PAnswer;
        case 'Q':
            return AnswerKind::QAnswer;
        default:
            return AnswerKind::Unknown;
    }
}

}  // namespace

AnswerKind classify_answer(std::string_view file_name) {
    const char initial =
        file_name.empty()
            ? '\0'
            : static_cast<char>(std::toupper(static_cast<unsigned char>(file_name.front())));
    const std::string_view extension = extension_of(file_name);
    return extension == "err" ? classify_err(initial) : classify_other(initial, extension);
}

}  // namespace ordano
