// SPDX-License-Identifier: Apache-2.0
// Reading answer files line by line: CR LF and lone CR end a line, a lone LF does not.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "review/AnswerLineReader.h"

namespace ordano::review {
namespace {

std::vector<std::string> lines_of(const std::string& bytes) {
    std::istringstream in(bytes);
    AnswerLineReader reader(in);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(reader.failed());
    return lines;
}

using Lines = std::vector<std::string>;

TEST(AnswerLineReaderTest, LineEnds) {
    EXPECT_EQ(lines_of(""), Lines{});
    EXPECT_EQ(lines_of("a"), Lines{"a"});
    EXPECT_EQ(lines_of("a\r\n"), Lines{"a"});
    EXPECT_EQ(lines_of("a\r\nb\rc\nd"), (Lines{"a", "b", "c\nd"}));
    EXPECT_EQ(lines_of("a\n"), Lines{"a\n"});
    EXPECT_EQ(lines_of("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(lines_of("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(lines_of("a\n\r\n"), Lines{"a\n"});
    EXPECT_EQ(lines_of(std::string("a\0b\r\n", 5)), Lines{std::string("a\0b", 3)});
}

TEST(AnswerLineReaderTest, CrLfSplitAcrossReads) {
    // The CR is the last byte of the first 64 KiB read, its LF the first of the next.
    const std::string first(64 * 1024 - 1, 'x');
    EXPECT_EQ(lines_of(first + "\r\ny\r\n"), (Lines{first, "y"}));
    EXPECT_EQ(lines_of(first + "\r"), Lines{first});
    EXPECT_EQ(lines_of(first + "\r\r\n"), (Lines{first, ""}));
}

TEST(AnswerLineReaderTest, LinesLongerThanOneRead) {
    const std::string long_line(200000, 'L');
    EXPECT_EQ(lines_of("a\r\n" + long_line + "\r\nb"), (Lines{"a", long_line, "b"}));
    EXPECT_EQ(lines_of(long_line), Lines{long_line});
}

}  // namespace
}  // namespace ordano::review

namespace ordano::review {
namespace {

// A stream that serves one block of 64 KiB and then fails, like a file on a device that
// stops answering.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::string block) : block_(std::move(block)) {}

protected:
    int_type underflow() override {
        if (served_) {
            throw std::ios_base::failure("disco no disponible");
        }
        served_ = true;
        setg(block_.data(), block_.data(), block_.data() + block_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string block_;
    bool served_ = false;
};

TEST(AnswerLineReaderTest, ReadFailureKeepsTheLinesReadBeforeIt) {
    const std::string head = "uno\r\ndos\r\n";
    FailingBuffer buffer(head + std::string(64 * 1024 - head.size(), 'z'));
    std::istream in(&buffer);
    AnswerLineReader reader(in);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    // The line of z's is cut short by the failure and left out.
    EXPECT_EQ(lines, (Lines{"uno", "dos"}));
    EXPECT_TRUE(reader.failed());
}

}  // namespace
}  // namespace ordano::review
