// SPDX-License-Identifier: Apache-2.0
// "X" (SAGARPA), "P" and "Q" answers.
#include "ReviewTestSupport.h"

namespace ordano::test {
namespace {

class XpqAnswersTest : public ReviewTest {};

TEST_F(XpqAnswersTest, XResultsAndErrors) {
    add_erroress(2, 15, "CERTIFICADO VENCIDO");
    add_erroress(15, 2, "NO DEBE SALIR");
    write_answer(folders.sag_rec, "x3912001.065",
                 "R|A|OP123|B|C|ACEPTADO\r\n"
                 "r|A|OP124|B|C|\r\n"
                 "E|2|15|30|REG501|\r\n"
                 "e|2|16|31|REG502|\r\n"
                 "Z|2|15|30|REG501|\r\n");
    EXPECT_EQ(report("x3912001.065"),
              "ID. Operación: OP123     Resultado: ACEPTADO\r\n"
              "\r\n"
              "ID. Operación: OP124     Resultado: \r\n"
              "\r\n"
              "Error   Tipo: 2    Código: 15    Línea: 30    Registro: REG501\r\n"
              "Descripción: CERTIFICADO VENCIDO\r\n"
              "\r\n"
              "Error   Tipo: 2    Código: 16    Línea: 31    Registro: REG502\r\n"
              "\r\n");
}

TEST_F(XpqAnswersTest, XLinesDoNotInheritFieldsOfEarlierLines) {
    add_erroress(2, 15, "CERTIFICADO VENCIDO");
    write_answer(folders.sag_rec, "X3912001.065",
                 "E|2|15|30|REG501|\r\n"
                 "E|3|\r\n"
                 "R|A|\r\n");
    EXPECT_EQ(report("X3912001.065"),
              "Error   Tipo: 2    Código: 15    Línea: 30    Registro: REG501\r\n"
              "Descripción: CERTIFICADO VENCIDO\r\n"
              "\r\n"
              "Error   Tipo: 3    Código:     Línea:     Registro: \r\n"
              "\r\n"
              "ID. Operación:      Resultado: \r\n"
              "\r\n");
}

// The first field of an accepted "P" line: pedimento, signature, 14 characters not shown,
// and the amount in ten digits.
std::string p_head(std::string_view kind, std::string_view amount) {
    return fixed_line(40, {{1, kind}, {2, "1234567"}, {9, "FIRMA001"}, {31, amount}});
}

TEST_F(XpqAnswersTest, PAcceptedAndErrorLinesInEitherCase) {
    add_erroresa(33, "RFC NO REGISTRADO");
    const std::string rest = "|RFC123|NOMBRE SA|CALLE 1|COL CENTRO|MONTERREY|NL|";
    write_answer(folders.api_rec, "P3912001.065",
                 p_head("F", "0000012345") + rest + "\r\n" + p_head("f", "0001234567") + rest +
                     "\r\n"
                     "E12345670512033\r\n"
                     "e12345670512034|no se usa|\r\n"
                     "X12345670512033\r\n");
    EXPECT_EQ(report("P3912001.065"),
              "Pedimento: 1234567     Firma: FIRMA001     Importe : $12,345.00\r\n"
              "RFC: RFC123     NOMBRE: NOMBRE SA\r\n"
              "DOMICILIO: CALLE 1   COL CENTRO\r\n"
              "CIUDAD   : MONTERREY   NL\r\n"
              "\r\n"
              "Pedimento: 1234567     Firma: FIRMA001     Importe : $1,234,567.00\r\n"
              "RFC: RFC123     NOMBRE: NOMBRE SA\r\n"
              "DOMICILIO: CALLE 1   COL CENTRO\r\n"
              "CIUDAD   : MONTERREY   NL\r\n"
              "\r\n"
              "Pedimento: 1234567     Error  Registro: 05    Campo: 12    Número: 033\r\n"
              "Descripción: RFC NO REGISTRADO\r\n"
              "\r\n"
              "Pedimento: 1234567     Error  Registro: 05    Campo: 12    Número: 034\r\n"
              "\r\n");
}

TEST_F(XpqAnswersTest, PAmountUsesTheWorkstationSymbols) {
    locale.grouping = ".";
    locale.decimal = ",";
    write_answer(folders.api_rec, "P3912001.065", p_head("F", "0000012345") + "|R|N|D|D|C|X|\r\n");
    EXPECT_EQ(report("P3912001.065"),
              "Pedimento: 1234567     Firma: FIRMA001     Importe : $12.345,00\r\n"
              "RFC: R     NOMBRE: N\r\n"
              "DOMICILIO: D   D\r\n"
              "CIUDAD   : C   X\r\n"
              "\r\n");
}

TEST_F(XpqAnswersTest, PAcceptedLineWithoutFieldsShowsThemEmpty) {
    write_answer(folders.api_rec, "P3912001.065", "F1234567FIRMA001|RFC1|\r\n");
    EXPECT_EQ(report("P3912001.065"),
              "Pedimento: 1234567     Firma: FIRMA001     Importe :\r\n"
              "RFC: RFC1     NOMBRE: \r\n"
              "DOMICILIO:    \r\n"
              "CIUDAD   :    \r\n"
              "\r\n");
}

TEST_F(XpqAnswersTest, PAcceptedLineWithoutItsBarShowsTheFixedFieldsEmpty) {
    write_answer(folders.api_rec, "P3912001.065", p_head("F", "0000012345") + "\r\n");
    EXPECT_EQ(report("P3912001.065"),
              "Pedimento:      Firma:      Importe :\r\n"
              "RFC:      NOMBRE: \r\n"
              "DOMICILIO:    \r\n"
              "CIUDAD   :    \r\n"
              "\r\n");
}

TEST_F(XpqAnswersTest, QAcceptedAndErrorLinesEachStartOnTheirOwnLine) {
    write_answer(folders.prof_rec, "Q3912001.065",
                 "F|1234567|0003|FOLIO9|2026-03-05|FIRMAQ|\r\n"
                 "E|1234567|0004|REG501|007|T1|CAMPO INV\xC1LIDO|00012|\r\n"
                 "f|7654321|0005|FOLIO10|2026-03-06|FIRMAR|\r\n"
                 "E|7654321|0006|REG502|008|T2||00013|\r\n"
                 "E|7654321|\r\n");
    EXPECT_EQ(report("Q3912001.065"),
              "Consecutivo: 3     Pedimento: 1234567     Firma: FIRMAQ     Folio:FOLIO9     "
              "Fecha: 2026-03-05\r\n"
              "Consecutivo: 4     Pedimento: 1234567     Error  Registro: REG501    Campo: 7    "
              "Tipo: T1     Línea: 00012\r\n"
              "CAMPO INVÁLIDO\r\n"
              "Consecutivo: 5     Pedimento: 7654321     Firma: FIRMAR     Folio:FOLIO10     "
              "Fecha: 2026-03-06\r\n"
              "Consecutivo: 6     Pedimento: 7654321     Error  Registro: REG502    Campo: 8    "
              "Tipo: T2     Línea: 00013\r\n"
              "Consecutivo:      Pedimento: 7654321     Error  Registro:     Campo:     "
              "Tipo:      Línea: \r\n");
}

}  // namespace
}  // namespace ordano::test
