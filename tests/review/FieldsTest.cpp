// SPDX-License-Identifier: Apache-2.0
// Field helpers: positions, whole numbers, "|" fields, case and amount formats.
#include <gtest/gtest.h>

#include "review/Amounts.h"
#include "review/Fields.h"

namespace ordano::review {
namespace {

TEST(FieldsTest, PositionsAreOneBasedAndStopAtTheEndOfTheLine) {
    EXPECT_EQ(positions("ABCDEFGH", 2, 4), "BCD");
    EXPECT_EQ(positions("ABCDEFGH", 7, 12), "GH");
    EXPECT_EQ(positions("ABC", 4, 6), "");
    EXPECT_EQ(positions("", 1, 1), "");
    EXPECT_EQ(position("ABC", 3), "C");
    EXPECT_EQ(position("ABC", 4), "");
    EXPECT_EQ(positions_from("ABCDE", 4), "DE");
    EXPECT_EQ(positions_from("ABCDE", 6), "");
}

TEST(FieldsTest, WholeNumbersInPlainDecimal) {
    EXPECT_EQ(read_int("00042").shown, "42");
    EXPECT_EQ(read_int("00042").value, 42);
    EXPECT_EQ(read_int("  07").shown, "7");
    EXPECT_EQ(read_int("000").shown, "0");
    EXPECT_EQ(read_int("-05").value, -5);
    EXPECT_EQ(read_int("-00").shown, "0");
    // Beyond 16 bits: shown as its value; beyond any int: shown, but no value to look up.
    EXPECT_EQ(read_int("98765").shown, "98765");
    EXPECT_EQ(read_int("98765").value, 98765);
    EXPECT_EQ(read_int("0099999999999999999999").shown, "99999999999999999999");
    EXPECT_FALSE(read_int("0099999999999999999999").value);
}

TEST(FieldsTest, TextThatIsNoNumberIsShownTrimmedWithoutValue) {
    EXPECT_EQ(read_int(" AB ").shown, "AB");
    EXPECT_FALSE(read_int(" AB ").value);
    EXPECT_EQ(read_int("1 2").shown, "1 2");
    EXPECT_EQ(read_int("").shown, "");
    EXPECT_FALSE(read_int("").value);
    EXPECT_FALSE(read_int("-").value);
    EXPECT_EQ(read_int("\xD1").shown, "Ñ");
    EXPECT_EQ(read_int_or_zero("X7").shown, "0");
    EXPECT_EQ(read_int_or_zero("X7").value, 0);
    EXPECT_EQ(read_int_or_zero("07").value, 7);
}

TEST(FieldsTest, BarFieldsNeedTheirClosingBar) {
    const BarFields fields("R|A|OP123|B|C|ACEPTADO");
    EXPECT_EQ(fields[1], "R");
    EXPECT_EQ(fields[3], "OP123");
    EXPECT_EQ(fields[5], "C");
    EXPECT_FALSE(fields.has(6));
    EXPECT_EQ(fields[6], "");
    EXPECT_EQ(fields.tail(), "ACEPTADO");

    const BarFields none("SIN BARRAS");
    EXPECT_FALSE(none.has(1));
    EXPECT_EQ(none.tail(), "SIN BARRAS");

    const BarFields many("1|2|3|4|5|6|7|8|9|10|cola");
    EXPECT_EQ(many[8], "8");
    EXPECT_EQ(many.tail(), "cola");
    EXPECT_EQ(many.after_without_bars(4), "5678910cola");
    EXPECT_EQ(BarFields("a|b|").after_without_bars(4), "");
}

TEST(FieldsTest, SentenceCaseCoversSpanishLetters) {
    EXPECT_EQ(sentence_case("ERROR EN EL CAMPO"), "Error en el campo");
    EXPECT_EQ(sentence_case("ÁREA NO VÁLIDA: AÑO ÜÑÉ"), "Área no válida: año üñé");
    EXPECT_EQ(sentence_case("campo"), "campo");
    EXPECT_EQ(sentence_case(""), "");
    EXPECT_EQ(sentence_case("X"), "X");
}

TEST(FieldsTest, AmountsGroupedWithTheWorkstationSymbols) {
    LocaleFormats mx;
    EXPECT_EQ(whole_amount("000001234567", mx), "1,234,567");
    EXPECT_EQ(whole_amount("000000000000", mx), "0");
    EXPECT_EQ(whole_amount("000000000999", mx), "999");
    EXPECT_EQ(whole_amount("000000001000", mx), "1,000");
    EXPECT_EQ(whole_amount(" 12A", mx), "12A");
    EXPECT_EQ(peso_amount("0000012345", mx), " $12,345.00");
    EXPECT_EQ(peso_amount("0000000000", mx), " $0.00");
    EXPECT_EQ(peso_amount("", mx), "");

    LocaleFormats europe;
    europe.grouping = "\xC2\xA0";  // no-break space
    europe.decimal = ",";
    EXPECT_EQ(whole_amount("1234567", europe),
              "1\xC2\xA0"
              "234\xC2\xA0"
              "567");
    EXPECT_EQ(peso_amount("1234567", europe),
              " $1\xC2\xA0"
              "234\xC2\xA0"
              "567,00");
}

}  // namespace
}  // namespace ordano::review
