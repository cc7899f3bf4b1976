// SPDX-License-Identifier: Apache-2.0
#include "cli/ReportOutput.h"

#include <iostream>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "platform/ProcessId.h"

namespace ordano::cli {
namespace fs = std::filesystem;

namespace {

std::string with_lf(std::string_view line) {
    if (line.ends_with("\r\n")) {
        line.remove_suffix(2);
        return std::string(line) + "\n";
    }
    return std::string(line);
}

// UTF-8 to Windows-1252, character by character where the whole line will not go.
std::string to_cp1252(std::string_view line) {
    try {
        return text::utf8_to_cp1252(line);
    } catch (const FormatError&) {
    }
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t length = 1;
        while (i + length < line.size() &&
               (static_cast<unsigned char>(line[i + length]) & 0xC0) == 0x80) {
            ++length;
        }
        try {
            out += text::utf8_to_cp1252(line.substr(i, length));
        } catch (const FormatError&) {
            out += '?';
        }
        i += length;
    }
    return out;
}

[[noreturn]] void cannot_write(const fs::path& target) {
    throw NumberedError(error_number::kFileLocked,
                        "No se pudo escribir el informe en " + target.string());
}

}  // namespace

LineRewriter::int_type LineRewriter::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char ch = traits_type::to_char_type(c);
    line_ += ch;
    if (ch == '\n') {
        target_ << rewrite_(line_);
        line_.clear();
    } else if (line_.size() >= kPiece) {
        hand_over_piece();
    }
    return c;
}

void LineRewriter::hand_over_piece() {
    const auto byte = [this](std::size_t at) { return static_cast<unsigned char>(line_[at]); };
    // The last character stays (it may be incomplete), and a CR whose LF may follow.
    std::size_t cut = line_.size();
    while (cut > 0 && (byte(cut - 1) & 0xC0) == 0x80) {
        --cut;
    }
    if (cut > 0 && (byte(cut - 1) & 0x80) != 0) {
        --cut;
    }
    if (cut > 0 && line_[cut - 1] == '\r') {
        --cut;
    }
    target_ << rewrite_(std::string_view(line_).substr(0, cut));
    line_.erase(0, cut);
}

std::streamsize LineRewriter::xsputn(const char* s, std::streamsize n) {
    for (std::streamsize i = 0; i < n; ++i) {
        overflow(traits_type::to_int_type(s[i]));
    }
    return n;
}

void LineRewriter::finish() {
    if (!line_.empty()) {
        target_ << rewrite_(line_);
        line_.clear();
    }
    target_.flush();
}

TerminalReport::TerminalReport() : buffer_(std::cout, with_lf), stream_(&buffer_) {}

TerminalReport::~TerminalReport() {
    buffer_.finish();
}

ReportFile::ReportFile(fs::path target)
    : target_(std::move(target)),
      temporary_(target_.string() + ".tmp" + std::to_string(current_process_id())),
      file_(temporary_, std::ios::binary | std::ios::trunc),
      buffer_(file_, to_cp1252),
      stream_(&buffer_) {
    if (!file_) {
        cannot_write(target_);
    }
}

ReportFile::~ReportFile() {
    if (!committed_) {
        file_.close();
        std::error_code ec;
        fs::remove(temporary_, ec);
    }
}

void ReportFile::commit() {
    buffer_.finish();
    file_.close();
    std::error_code ec;
    if (!file_ || (fs::rename(temporary_, target_, ec), ec)) {
        cannot_write(target_);
    }
    committed_ = true;
}

}  // namespace ordano::cli
