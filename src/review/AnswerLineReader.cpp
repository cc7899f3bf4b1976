#include "review/AnswerLineReader.h"

#include <algorithm>
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

// Grows like a string does, doubling, but never past the file's size: a line of 20 MB in a
// file of 20 MB takes 20 MB, not the 32 MB a doubling would reach.
void AnswerLineReader::append_long(const char* data, std::size_t size) {
    const std::size_t needed = long_line_.size() + size;
    if (needed > long_line_.capacity()) {
        std::size_t grown = std::max(needed, 2 * long_line_.capacity());
        if (size_hint_ >= needed) {
            grown = std::min(grown, size_hint_);
        }
        long_line_.reserve(grown);
    }
    long_line_.append(data, size);
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
            append_long(start, available);
            pos_ = end_;
            started = true;
            continue;
        }
        const auto length = static_cast<std::size_t>(cr - start);
        pos_ += length + 1;
        if (started) {
            append_long(start, length);
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
