#pragma once

#include <string>
#include <string_view>

#include "review/Fields.h"

namespace ordano::review {

// The report as it grows: labels and catalogue texts are UTF-8, fields copied from the
// answer file are Windows-1252 and converted as they are appended. Every line ends in CR LF.
class ReportText {
public:
    ReportText& text(std::string_view utf8) {
        text_.append(utf8);
        return *this;
    }
    ReportText& copy(std::string_view cp1252) {
        append_cp1252(text_, cp1252);
        return *this;
    }
    ReportText& crlf() {
        text_.append("\r\n");
        return *this;
    }

    [[nodiscard]] const std::string& str() const { return text_; }
    [[nodiscard]] std::string take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace ordano::review
