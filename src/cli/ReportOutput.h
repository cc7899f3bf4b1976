// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>

namespace ordano::cli {

// A stream buffer that hands each whole line of UTF-8 text with CR LF line ends, rewritten by
// `rewrite`, to `target`; what follows the last line end is handed over by finish(). A line
// longer than a piece goes in pieces, each cut between two characters and never inside the CR
// LF that ends it, so that a line of any length takes no memory of its own size.
class LineRewriter : public std::streambuf {
public:
    using Rewrite = std::function<std::string(std::string_view line)>;

    LineRewriter(std::ostream& target, Rewrite rewrite)
        : target_(target), rewrite_(std::move(rewrite)) {}
    void finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    static constexpr std::size_t kPiece = 64 * 1024;

    void hand_over_piece();

    std::ostream& target_;
    Rewrite rewrite_;
    std::string line_;
};

// The report on standard output, each line ended by "\n": a terminal on POSIX reads LF, and
// Windows' text-mode output makes it CR LF there.
class TerminalReport {
public:
    TerminalReport();
    ~TerminalReport();
    TerminalReport(const TerminalReport&) = delete;
    TerminalReport& operator=(const TerminalReport&) = delete;
    [[nodiscard]] std::ostream& stream() { return stream_; }

private:
    LineRewriter buffer_;
    std::ostream stream_;
};

// The report as a file in the office's encoding: Windows-1252 with CR LF line ends (a
// character Windows-1252 lacks becomes "?"). Written beside the target under a temporary name
// and renamed over it by commit(), so a failure never leaves half a report nor loses an older
// one. NumberedError 70 when the file cannot be written.
class ReportFile {
public:
    explicit ReportFile(std::filesystem::path target);
    ~ReportFile();  // removes the temporary file unless committed
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;
    [[nodiscard]] std::ostream& stream() { return stream_; }
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream file_;
    LineRewriter buffer_;
    std::ostream stream_;
    bool committed_ = false;
};

}  // namespace ordano::cli
