// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "base/Encoding.h"
#include "base/Errors.h"

namespace ordano::text {
namespace {

TEST(Encoding, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
}

TEST(Encoding, WindowsCharactersMapToTheirCodePoints) {
    EXPECT_EQ(cp1252_to_utf8("\x80"), "\u20AC");  // euro sign
    EXPECT_EQ(cp1252_to_utf8("Dise\xF1o"), "Diseño");
    EXPECT_EQ(cp1252_to_utf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(utf8_to_cp1252("VALIDACIÓN"), "VALIDACI\xD3N");
}

TEST(Encoding, RejectsWhatWindows1252CannotHold) {
    EXPECT_THROW((void)utf8_to_cp1252("\u4E2D"), FormatError);    // a CJK character
    EXPECT_THROW((void)utf8_to_cp1252("\xC3"), FormatError);      // truncated sequence
    EXPECT_THROW((void)utf8_to_cp1252("\xFF\xFE"), FormatError);  // not UTF-8 at all
}

// Valid UTF-8 stays; a byte outside a valid sequence (overlong forms and surrogates too) is
// read as Windows-1252.
TEST(Encoding, AnyBytesBecomeUtf8) {
    EXPECT_EQ(as_utf8("año \u20AC \U0001F600"), "año \u20AC \U0001F600");
    EXPECT_EQ(as_utf8("M\xFF\x80.033"), "Mÿ€.033");
    EXPECT_EQ(as_utf8("\xC0\x80"), "À€");            // an overlong NUL
    EXPECT_EQ(as_utf8("\xED\xA0\x80"), "í\u00A0€");  // a surrogate
    EXPECT_EQ(as_utf8("\xC3"), "Ã");                 // cut short
}

TEST(Encoding, LetterCaseCoversTheWindows1252Letters) {
    EXPECT_EQ(lower_case("ÁÉÍÓÚÑÜ ÀÞ ŠŒŽŸ ×"), "áéíóúñü àþ šœžÿ ×");
    EXPECT_EQ(upper_case("m0001234.err ñ"), "M0001234.ERR Ñ");
    // Bytes that are not UTF-8 pass unchanged.
    EXPECT_EQ(lower_case("A\xFF"
                         "B"),
              "a\xFF"
              "b");
}

}  // namespace
}  // namespace ordano::text
