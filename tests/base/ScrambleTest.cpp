// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/Scramble.h"

namespace ordano {
namespace {

TEST(Scramble, ShiftsByPositionPlusFifteen) {
    EXPECT_EQ(scramble("abc"), "qsu");
    EXPECT_EQ(unscramble("qsu"), "abc");
    EXPECT_EQ(scramble(""), "");
    EXPECT_EQ(unscramble(scramble("abc")), "abc");
}

TEST(Scramble, EveryAllowedCodeUnitRoundTripsAtEveryPosition) {
    for (std::size_t position = 1; position <= 20; ++position) {
        for (int code = 1; code + static_cast<int>(position) + 15 <= 255; ++code) {
            std::string units(position - 1, 'a');
            units.push_back(static_cast<char>(code));
            const std::string plain = text::cp1252_to_utf8(units);
            const std::string scrambled = scramble(plain);
            ASSERT_EQ(unscramble(scrambled), plain) << "code " << code << " at " << position;
            // The scrambled text stays representable as Windows-1252 bytes.
            ASSERT_EQ(text::utf8_to_cp1252(scrambled).size(), position);
        }
    }
}

TEST(Scramble, RejectsTextsOf255CharactersOrMore) {
    // Past 239 characters every shift leaves the code page anyway; the length limit is what
    // a 255-character text meets first.
    try {
        (void)scramble(std::string(255, '\x01'));
        ADD_FAILURE() << "a 255-character text was scrambled";
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("255 caracteres"), std::string::npos) << e.what();
    }
    EXPECT_THROW((void)unscramble(std::string(300, 'z')), FormatError);
}

TEST(Scramble, RejectsShiftedCodesOutsideTheCodePage) {
    EXPECT_THROW((void)scramble("\u00FF"), FormatError);  // 255 + 16 > 255
    EXPECT_EQ(unscramble("\x11"), "\x01");                // 17 - 16 is the lowest code
    EXPECT_THROW((void)unscramble("\x10"), FormatError);  // 16 - 16 would be a null
}

}  // namespace
}  // namespace ordano
