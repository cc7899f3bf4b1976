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
