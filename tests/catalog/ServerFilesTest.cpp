// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "catalog/ServerFiles.h"
#include "fixtures/Sandbox.h"

namespace ordano {
namespace {

int error_of(const std::function<void()>& work) {
    try {
        work();
    } catch (const NumberedError& e) {
        return e.number();
    }
    return 0;
}

TEST(ServerFiles, FieldsNeedTheirClosingBar) {
    EXPECT_EQ(closed_fields("a|b||c"), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_TRUE(closed_fields("sin barra").empty());
    EXPECT_EQ(closed_fields("|"), (std::vector<std::string>{""}));
}

TEST(ServerFiles, WholeNumbersInTheirRange) {
    EXPECT_EQ(parse_int16(" 7 "), 7);
    EXPECT_EQ(parse_int16("-32768"), -32768);
    EXPECT_EQ(parse_int32("0008"), 8);
    EXPECT_EQ(parse_int32("9   "), 9);
    EXPECT_EQ(error_of([] { (void)parse_int16("32768"); }), 6);
    EXPECT_EQ(error_of([] { (void)parse_int16("99999999999999999999"); }), 6);
    EXPECT_EQ(error_of([] { (void)parse_int16("7.0"); }), 13);
    EXPECT_EQ(error_of([] { (void)parse_int16(""); }), 13);
    EXPECT_EQ(error_of([] { (void)parse_int32("12a"); }), 13);
}

TEST(ServerFiles, NearestWholeNumberRoundsHalvesToEven) {
    EXPECT_EQ(round_to_int16("2"), 2);
    EXPECT_EQ(round_to_int16("2.5"), 2);
    EXPECT_EQ(round_to_int16("3.5"), 4);
    EXPECT_EQ(round_to_int16("-1.6"), -2);
    EXPECT_EQ(error_of([] { (void)round_to_int16("40000"); }), 6);
    EXPECT_EQ(error_of([] { (void)round_to_int16("dos"); }), 13);
}

TEST(ServerFiles, LinesEndAtAnyLineBreakAndAreReadAsWindowsText) {
    test::Sandbox box;
    const auto file = box.write_file("f.txt", "uno\r\ndos\rtres\ncu\xE1tro");
    EXPECT_EQ(read_text_lines(file), (std::vector<std::string>{"uno", "dos", "tres", "cuátro"}));
    EXPECT_EQ(read_first_line(box.write_file("v.txt", "9\n")), "9");
    EXPECT_EQ(read_first_line(box.write_file("e.txt", "")), "");
    EXPECT_FALSE(read_first_line(box.path() / "no-existe.txt").has_value());
}

}  // namespace
}  // namespace ordano
