// SPDX-License-Identifier: Apache-2.0
#include "review/AnswerLineReader.h"

#include <array>
#include <cstring>

namespace ordano::review {

bool AnswerLineReader::fill() {
    if (failed_ || !in_.good()) {
        return false;
    }
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    // A failed read ends the reading; the blocks read before it still count.
    failed_ = in_.bad();
    pos_ = 0;
    end_ = static_cast<std::size_t>(in_.gcount());
    return end_ > 0;
}

// The LF of a CR LF pair whose CR closed the previous buffer.
bool AnswerLineReader::skip_pending_lf() {
    if (!after_cr_) {
        return true;
    }
    after_cr_ = false;
    if (pos_ == end_ && !fill()) {
        return false;
    }
    if (buffer_[pos_] == '\n') {
        ++pos_;
    }
    return true;
}

// A line longer than the buffer takes exactly its own size: its length is found by reading
// ahead to its end and going back, so that a line of 20 MB never costs the 32 MB (and the copy
// from 16 MB) that growing the text by doubling would. Nothing when the stream cannot go back.
void AnswerLineReader::reserve_rest_of_line(std::size_t so_far) {
    const auto back = in_.tellg();
    if (back == std::streampos(-1)) {
        return;
    }
    std::array<char, 16 * 1024> ahead{};
    std::size_t rest = 0;
    while (in_.read(ahead.data(), ahead.size()) || in_.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in_.gcount());
        if (const auto* cr = static_cast<const char*>(std::memchr(ahead.data(), '\r', got))) {
            rest += static_cast<std::size_t>(cr - ahead.data());
            break;
        }
        rest += got;
    }
    in_.clear();
    in_.seekg(back);
    long_line_.reserve(so_far + rest);
}

bool AnswerLineReader::next(std::string_view& line) {
    if (!skip_pending_lf()) {
        return false;
    }
    long_line_.clear();
    bool started = false;
    for (;;) {
        if (pos_ == end_ && !fill()) {
            // After a failed read the line is cut short: it is left out rather than shown
            // wrong.
            if (!started || failed_) {
                return false;
            }
            line = long_line_;
            return true;
        }
        const char* start = buffer_.data() + pos_;
        const std::size_t available = end_ - pos_;
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', available));
        if (cr == nullptr) {
            if (!started) {
                reserve_rest_of_line(available);
            }
            long_line_.append(start, available);
            pos_ = end_;
            started = true;
            continue;
        }
        const auto length = static_cast<std::size_t>(cr - start);
        pos_ += length + 1;
        if (started) {
            long_line_.append(start, length);
            line = long_line_;
        } else {
            line = std::string_view(start, length);
        }
        if (pos_ < end_) {
            pos_ += buffer_[pos_] == '\n' ? 1 : 0;
        } else {
            after_cr_ = true;
        }
        return true;
    }
}

}  // namespace ordano::review
