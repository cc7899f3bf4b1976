// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace ordano {

class Catalog;

// The title the review area gives every report.
inline constexpr std::string_view kReviewTitle = "Programa de Ordano  -  Revisión";

// The receive folders of the parameters record, one per kind of answer.
struct ReceiveFolders {
    std::string val_rec;   // SAAI M3 "M", "C" and "D" answers
    std::string tra_rec;   // "T" answers
    std::string pag_rec;   // payment "A" and "R" answers
    std::string sag_rec;   // SAGARPA "X" answers
    std::string api_rec;   // "P" answers
    std::string prof_rec;  // "Q" answers
};

// Everything a review reads besides the answer file itself.
struct ReviewContext {
    ReceiveFolders folders;
    // The SAAI M3 receive folder as the parameters dialog shows it: prevalidation reports
    // ("K" and "ERP" names) are read from there, not from the parameters record.
    std::string dialog_val_rec;
    Catalog& catalog;
    LocalDateTime now;
    LocaleFormats locale;
    // When set, the box's text is written here as it is produced (a report of any size in
    // little memory) and the result's header and body stay empty; an answer that cannot be
    // opened writes nothing.
    std::ostream* out = nullptr;
};

// Why a review could not show everything: the file could not be read (number 68 when it or
// its folder does not exist, 70 when it cannot be read), or the catalogue could not be
// consulted (number 0). The message names the file's path or the catalogue's failure.
struct ReviewFailure {
    int number = 0;
    std::string message;
};

// What the review box must show, as UTF-8 text with CR LF line ends.
struct ReviewResult {
    enum class Box {
        Report,    // the header, then the report (possibly empty)
        FileText,  // the file's own text replaces the whole box, header included
        Empty,     // a name of no known kind: the box is emptied
    };
    Box box = Box::Report;
    std::string header;  // shown while the file is read, kept above the report
    std::string body;    // the report, or the file's text for Box::FileText
    // Set when something could not be read; `body` then still holds everything gathered
    // before (a catalogue failure leaves the rest of the file rendered without descriptions).
    std::optional<ReviewFailure> failure;

    [[nodiscard]] std::string box_text() const;
};

// The title, " Archivo: ", the name in upper case, "  -  ", the short date, two blanks, the
// time "hh:mm:ss ampm", and a blank line.
[[nodiscard]] std::string review_header(std::string_view title, std::string_view file_name,
                                        const LocalDateTime& now, const LocaleFormats& locale);

// Renders the answer file `file_name` (a bare name, UTF-8) into the report the broker reads.
// The kind of answer is decided by the name; the file is read from that kind's receive
// folder, line by line. Never throws for what the file holds; a file that cannot be read is
// reported in `failure`.
[[nodiscard]] ReviewResult review_answer(std::string_view title, std::string_view file_name,
                                         const ReviewContext& context);

}  // namespace ordano
