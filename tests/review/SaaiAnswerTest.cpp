// SPDX-License-Identifier: Apache-2.0
// SAAI M3 answers ("M...err"): error, signature and message lines.
#include "ReviewTestSupport.h"

namespace ordano::test {
namespace {

class SaaiAnswerTest : public ReviewTest {
protected:
    SaaiAnswerTest() {
        add_error_type(1, "Estructura");
        add_error_type(3, "Campo");
        add_erroresm(0, 0, 1, 7, "CAMPO OBLIGATORIO");
        // Type 3 descriptions depend on record and field as well.
        add_erroresm(999, 4, 3, 9, "OTRO REGISTRO");
        add_erroresm(502, 5, 3, 9, "OTRO CAMPO");
        add_erroresm(502, 4, 3, 9, "FRACCIÓN ARANCELARIA NO VÁLIDA");
    }

    std::string review_m(const std::string& lines) {
        write_answer(folders.val_rec, "M0001234.err", lines);
        return report("M0001234.err");
    }
};

TEST_F(SaaiAnswerTest, RendersMessagesErrorsAndSignatures) {
    const std::string answer =
        "ARCHIVO RECIBIDO\r\n"
        "E1234567501001210307\r\n"  // 20 characters: line 0012, type 1, field 03, error 07
        "A1234567777001218807\r\n"  // "A" like "E"; type 1 ignores record and field
        "F1234567ABCDEFGH\r\n"
        "X1234567 ignored\r\n";
    EXPECT_EQ(review_m(answer),
              "ARCHIVO RECIBIDO\r\n"
              "Pedimento: 1234567    Error   Reg: 501, Tipo: 1, Número: 7, Campo: 3, Línea: 12\r\n"
              "Estructura: Campo obligatorio\r\n"
              "\r\n"
              "Pedimento: 1234567    Error   Reg: 777, Tipo: 1, Número: 7, Campo: 88, Línea: 12\r\n"
              "Estructura: Campo obligatorio\r\n"
              "\r\n"
              "Pedimento: 1234567    Firma: ABCDEFGH\r\n"
              "\r\n");
}

TEST_F(SaaiAnswerTest, LayoutFollowsLineLength) {
    // The same record: five-digit line number in 21 characters, four digits in 20.
    EXPECT_EQ(review_m("E12345675021234530409\r\n"
                       "E1234567502123430409\r\n"),
              "Pedimento: 1234567    Error   Reg: 502, Tipo: 3, Número: 9, Campo: 4, "
              "Línea: 12345\r\n"
              "Campo: Fracción arancelaria no válida\r\n"
              "\r\n"
              "Pedimento: 1234567    Error   Reg: 502, Tipo: 3, Número: 9, Campo: 4, "
              "Línea: 1234\r\n"
              "Campo: Fracción arancelaria no válida\r\n"
              "\r\n");
}

TEST_F(SaaiAnswerTest, RecordWithoutCatalogueRowHasNoBlankLine) {
    // Type 3 with record 777: no row for that record, although type and number exist.
    EXPECT_EQ(review_m("E1234567777001230409\r\n"
                       "F1234567ABCDEFGH\r\n"),
              "Pedimento: 1234567    Error   Reg: 777, Tipo: 3, Número: 9, Campo: 4, Línea: 12\r\n"
              "Pedimento: 1234567    Firma: ABCDEFGH\r\n"
              "\r\n");
}

TEST_F(SaaiAnswerTest, LinesWithoutDigitSecondAreCopiedUnchanged) {
    // Windows-1252 Ñ and a lone LF stay in the line; empty lines and one-character lines
    // have no digit second either.
    EXPECT_EQ(review_m("EL ARCHIVO TIENE A\xD1O\nNUEVO\r\n\r\nE\r\nEX123\r\n"),
              "EL ARCHIVO TIENE AÑO\nNUEVO\r\n"
              "\r\n"
              "E\r\n"
              "EX123\r\n");
}

TEST_F(SaaiAnswerTest, LineNumberBeyondSixteenBitsIsShownAsItsValue) {
    EXPECT_EQ(review_m("E12345675019876510307\r\n"),
              "Pedimento: 1234567    Error   Reg: 501, Tipo: 1, Número: 7, Campo: 3, "
              "Línea: 98765\r\n"
              "Estructura: Campo obligatorio\r\n"
              "\r\n");
}

TEST_F(SaaiAnswerTest, NonNumericPositionsShowEmptyFieldsInsteadOfEarlierValues) {
    // Positions 12-15 not numeric: the record shows its own (empty) fields, makes no lookup,
    // and the values of the record before it are not repeated.
    EXPECT_EQ(review_m("E1234567501001210307\r\n"
                       "E1234567503ABCD10307\r\n"),
              "Pedimento: 1234567    Error   Reg: 501, Tipo: 1, Número: 7, Campo: 3, Línea: 12\r\n"
              "Estructura: Campo obligatorio\r\n"
              "\r\n"
              "Pedimento: 1234567    Error   Reg: 503, Tipo: , Número: , Campo: , Línea: \r\n");
}

TEST_F(SaaiAnswerTest, NonNumericFieldIsShownTrimmedAndSkipsTheLookup) {
    // Error number "X7" and record " 5A" (type 3 needs the record): shown as they stand,
    // no lookup, and the rest of the file is still rendered.
    EXPECT_EQ(review_m("E12345675010012103X7\r\n"
                       "E1234567 5A001230409\r\n"
                       "E1234567501001210307\r\n"),
              "Pedimento: 1234567    Error   Reg: 501, Tipo: 1, Número: X7, Campo: 3, "
              "Línea: 12\r\n"
              "Pedimento: 1234567    Error   Reg:  5A, Tipo: 3, Número: 9, Campo: 4, "
              "Línea: 12\r\n"
              "Pedimento: 1234567    Error   Reg: 501, Tipo: 1, Número: 7, Campo: 3, Línea: 12\r\n"
              "Estructura: Campo obligatorio\r\n"
              "\r\n");
}

TEST_F(SaaiAnswerTest, ShortErrorLineShowsWhatIsThere) {
    EXPECT_EQ(review_m("E1234\r\n"),
              "Pedimento: 1234    Error   Reg: , Tipo: , Número: , Campo: , Línea: \r\n");
}

}  // namespace
}  // namespace ordano::test
