// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <fstream>
#include <string>
#include <string_view>

namespace ordano::review {

// Reads an answer file one line at a time without loading it whole. A line ends at CR LF or
// at a lone CR; a lone LF stays inside the line (payment answers hold several records in one
// line separated by LF). Lines are the file's raw Windows-1252 bytes. A file that ends with
// a line end has no empty line after it.
class AnswerLineReader {
public:
    explicit AnswerLineReader(std::istream& in) : in_(in) {}
    AnswerLineReader(const AnswerLineReader&) = delete;
    AnswerLineReader& operator=(const AnswerLineReader&) = delete;

    // The next line, valid until the following call; false at the end of the file or when
    // reading failed (see failed()): the lines of the blocks read before the failure are
    // delivered, the line the failure cut short is not.
    [[nodiscard]] bool next(std::string_view& line);
    [[nodiscard]] bool failed() const { return failed_; }

private:
    bool fill();
    bool skip_pending_lf();
    void reserve_rest_of_line(std::size_t so_far);

    std::istream& in_;
    std::array<char, 64 * 1024> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::string long_line_;  // a line that spans more than one buffer fill
    bool after_cr_ = false;  // the previous line ended at a CR that was the last byte read
    bool failed_ = false;
};

}  // namespace ordano::review
