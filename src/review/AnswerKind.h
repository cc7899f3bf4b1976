// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string_view>

namespace ordano {

// What an answer file is, decided from its name alone.
enum class AnswerKind {
    SaaiM3,         // "M...err"
    TAnswer,        // "T...err"
    CAnswer,        // "C...err"
    DAnswer,        // "D...err"
    UnknownErr,     // "err" with any other initial: the header alone stays
    Prevalidation,  // initial "K" or extension "ERP": the file is shown as stored
    AAnswer,        // "A": fixed-layout payment answer
    RAnswer,        // "R": signature-and-totals payment answer
    XAnswer,        // "X": SAGARPA answer
    PAnswer,        // "P"
    QAnswer,        // "Q"
    Unknown,        // anything else: the box is emptied
};

// The first matching test wins: the "err" extension is compared exactly (lower case), the
// "ERP" extension in any letter case, the initial in upper case.
[[nodiscard]] AnswerKind classify_answer(std::string_view file_name);

}  // namespace ordano
