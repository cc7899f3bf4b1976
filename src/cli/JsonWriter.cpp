// SPDX-License-Identifier: Apache-2.0
#include "cli/JsonWriter.h"

#include <cstdio>
#include <ostream>

#include "base/Encoding.h"

namespace ordano::cli {

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (has_elements_.empty()) {
        return;
    }
    if (has_elements_.back()) {
        out_ << ',';
    }
    has_elements_.back() = true;
    if (has_elements_.size() == 1) {
        out_ << '\n';
    }
}

void JsonWriter::close(char bracket) {
    // Only the outermost array spreads its elements over lines; an object stays on one.
    const bool outermost_with_elements =
        bracket == ']' && has_elements_.size() == 1 && has_elements_.back();
    has_elements_.pop_back();
    if (outermost_with_elements) {
        out_ << '\n';
    }
    out_ << bracket;
    if (has_elements_.empty()) {
        out_ << '\n';
    }
}

JsonWriter& JsonWriter::begin_object() {
    before_value();
    out_ << '{';
    has_elements_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::end_object() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::begin_array() {
    before_value();
    out_ << '[';
    has_elements_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::end_array() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    if (has_elements_.back()) {
        out_ << ',';
    }
    has_elements_.back() = true;
    write_text(name);
    out_ << ':';
    after_key_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    before_value();
    write_text(text);
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    before_value();
    out_ << number;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    before_value();
    out_ << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    before_value();
    out_ << "null";
    return *this;
}

void JsonWriter::write_text(std::string_view text) {
    out_ << '"';
    // A name read from the disk may hold bytes that are not UTF-8; the document must be.
    for (const char c : text::as_utf8(text)) {
        switch (c) {
            case '"':
                out_ << "\\\"";
                break;
            case '\\':
                out_ << "\\\\";
                break;
            case '\n':
                out_ << "\\n";
                break;
            case '\r':
                out_ << "\\r";
                break;
            case '\t':
                out_ << "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out_ << escaped;
                } else {
                    out_ << c;
                }
        }
    }
    out_ << '"';
}

}  // namespace ordano::cli
