// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "review/Fields.h"

namespace ordano::review {

// The report as it grows: labels and catalogue texts are UTF-8, fields copied from the
// answer file are Windows-1252 and converted as they are appended. Every line ends in CR LF.
// Given a sink, the text goes out to it in pieces as it grows, so that a report never needs
// memory of its own size.
class ReportText {
public:
    explicit ReportText(std::ostream* sink = nullptr) : sink_(sink) {}

    ReportText& text(std::string_view utf8) {
        text_.append(utf8);
        spill();
        return *this;
    }
    ReportText& copy(std::string_view cp1252) {
        // A field can be as long as the file: converted a piece at a time.
        do {
            const auto piece = cp1252.substr(0, kPiece);
            append_cp1252(text_, piece);
            cp1252.remove_prefix(piece.size());
            spill();
        } while (!cp1252.empty());
        return *this;
    }
    ReportText& crlf() {
        text_.append("\r\n");
        return *this;
    }

    [[nodiscard]] const std::string& str() const { return text_; }
    // What has not gone to the sink; with a sink, it goes there and nothing is returned.
    [[nodiscard]] std::string take() {
        if (sink_ != nullptr) {
            *sink_ << text_;
            text_.clear();
        }
        return std::move(text_);
    }

private:
    static constexpr std::size_t kPiece = 64 * 1024;

    void spill() {
        if (sink_ != nullptr && text_.size() >= kPiece) {
            *sink_ << text_;
            text_.clear();
        }
    }

    std::ostream* sink_;
    std::string text_;
};

}  // namespace ordano::review
