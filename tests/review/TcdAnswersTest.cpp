// SPDX-License-Identifier: Apache-2.0
// "T", "C" and "D" answers (the other "err" names).
#include "ReviewTestSupport.h"

namespace ordano::test {
namespace {

class TcdAnswersTest : public ReviewTest {};

TEST_F(TcdAnswersTest, TAnswerSignatureErrorAndSkippedLines) {
    write_answer(folders.tra_rec, "T0001234.err",
                 "1234567C whatever\r\n"
                 "1234567FSIGNATUR\r\n"
                 "1234567501002030700042\r\n");
    EXPECT_EQ(report("T0001234.err"),
              "Pedimento: 1234567    Firma: SIGNATUR\r\n"
              "\r\n"
              "Pedimento: 1234567    Error   Reg: 501, Tipo Reg: 2, Campo: 3, Cve. Error: 7\r\n"
              "Descripción: 42\r\n"
              "\r\n");
}

TEST_F(TcdAnswersTest, TAnswerDescriptionCodeThatIsNoSmallNumber) {
    write_answer(folders.tra_rec, "t0001234.err",
                 "1234567501002030799999\r\n"
                 "123456750100203AB COD \r\n");
    EXPECT_EQ(report("t0001234.err"),
              "Pedimento: 1234567    Error   Reg: 501, Tipo Reg: 2, Campo: 3, Cve. Error: 7\r\n"
              "Descripción: 99999\r\n"
              "\r\n"
              "Pedimento: 1234567    Error   Reg: 501, Tipo Reg: 2, Campo: 3, Cve. Error: AB\r\n"
              "Descripción: COD\r\n"
              "\r\n");
}

TEST_F(TcdAnswersTest, CAnswerSignatureThenErrorsWithClasses) {
    add_erroresc(2, 120, "VALOR FUERA DE CATÁLOGO");
    add_erroresc(7, 121, "SIN CLASE CONOCIDA");
    add_erroresc(1, 0, "ERROR SIN CLAVE");
    add_erroresc(3, 122, "FALLA DEL SERVIDOR");
    write_answer(folders.val_rec, "C0001234.err",
                 "200|3912|CURP18CHARACTERS00|77|SIGNATURE|\r\n"
                 "15|F001|3|4|2|11|120|\r\n"
                 "16|F002|5|6|1|2|121|texto ignorado\r\n"
                 "17|F003|7|8|1|2|XYZ|\r\n"
                 "18|F004|9|10|3|1|122|\r\n"
                 "19|F005|1|1|1|1|555|\r\n");
    EXPECT_EQ(report("C0001234.err"),
              "Patente: 3912   CURP: CURP18CHARACTERS00   Folio: 77   Firma: SIGNATURE\r\n"
              "\r\n"
              "Registro: 15   Folio: F001   Pos. Reg. Act: 3   Pos. Reg. Arch: 4   T. Error: 2"
              "   Campo: 11   Clave: 120\r\n"
              "Error Sintáctico-Catalógico: Valor fuera de catálogo\r\n"
              "\r\n"
              "Registro: 16   Folio: F002   Pos. Reg. Act: 5   Pos. Reg. Arch: 6   T. Error: 1"
              "   Campo: 2   Clave: 121\r\n"
              "Sin clase conocida\r\n"
              "\r\n"
              "Registro: 17   Folio: F003   Pos. Reg. Act: 7   Pos. Reg. Arch: 8   T. Error: 1"
              "   Campo: 2   Clave: 0\r\n"
              "Error Normativo: Error sin clave\r\n"
              "\r\n"
              "Registro: 18   Folio: F004   Pos. Reg. Act: 9   Pos. Reg. Arch: 10   T. Error: 3"
              "   Campo: 1   Clave: 122\r\n"
              "Error Técnico: Falla del servidor\r\n"
              "\r\n"
              "Registro: 19   Folio: F005   Pos. Reg. Act: 1   Pos. Reg. Arch: 1   T. Error: 1"
              "   Campo: 1   Clave: 555\r\n");
}

TEST_F(TcdAnswersTest, CSignatureKeepsEverythingAfterTheFourthBar) {
    write_answer(folders.val_rec, "C0001234.err", "200|3912|CURP|77|FIR|MA|\r\n");
    EXPECT_EQ(report("C0001234.err"),
              "Patente: 3912   CURP: CURP   Folio: 77   Firma: FIRMA\r\n\r\n");
}

TEST_F(TcdAnswersTest, ShortCLineShowsMissingFieldsEmptyWithoutLookup) {
    add_erroresc(1, 120, "NO DEBE SALIR");
    write_answer(folders.val_rec, "C0001234.err",
                 "15|F001|3|4|2|11|120|\r\n"
                 "ABC|F002|\r\n"
                 "\r\n");
    EXPECT_EQ(report("C0001234.err"),
              "Registro: 15   Folio: F001   Pos. Reg. Act: 3   Pos. Reg. Arch: 4   T. Error: 2"
              "   Campo: 11   Clave: 120\r\n"
              "Error Normativo: No debe salir\r\n"
              "\r\n"
              "Registro: 0   Folio: F002   Pos. Reg. Act:    Pos. Reg. Arch:    T. Error: "
              "   Campo:    Clave: \r\n");
}

TEST_F(TcdAnswersTest, DAnswerSignatureAndErrors) {
    add_erroresd(0, "A", "05", "NO DEBE SALIR: CONSECUTIVO CON CERO");
    add_erroresd(0, "A", "5", "Descripción general");
    add_erroresd(9, "B", "12", "OTRO CAMPO");
    add_erroresd(4, "B", "12", "ESPECÍFICA DEL CAMPO");
    const std::string signature =
        "F"
        "3912"
        "1234567"
        "0470"
        "01"
        "00123"
        "ACUSE001";
    const std::string general =
        "E"
        "1234567"
        "501"
        "0012"
        "A"
        "03"
        "05";
    const std::string specific =
        "E"
        "1234567"
        "502"
        "0013"
        "B"
        "04"
        "12";
    const std::string unknown =
        "E"
        "1234567"
        "503"
        "0014"
        "B"
        "07"
        "12";
    write_answer(folders.val_rec, "D0001234.err",
                 signature + "\r\n" + general + "\r\n\r\n" + specific + "\r\n" + unknown + "\r\n");
    EXPECT_EQ(report("D0001234.err"),
              "Patente: 3912   Pedimento: 1234567   A.G.D.: 0470   S.D.F.: 01   Folio CC:00123"
              "   Acuse Electrónico:ACUSE001\r\n"
              "\r\n"
              "Tipo Error: A  -  Registro: 501  -  Número: 3  -  Consecutivo: 05  -  Línea: 12\r\n"
              "Descripción general\r\n"
              "\r\n"
              "Tipo Error: B  -  Registro: 502  -  Número: 4  -  Consecutivo: 12  -  Línea: 13\r\n"
              "ESPECÍFICA DEL CAMPO\r\n"
              "\r\n"
              "Tipo Error: B  -  Registro: 503  -  Número: 7  -  Consecutivo: 12  -  Línea: 14\r\n"
              "\r\n");
}

TEST_F(TcdAnswersTest, ShortDLineMakesNoLookup) {
    add_erroresd(0, "A", "5", "NO DEBE SALIR");
    write_answer(folders.val_rec, "D0001234.err", "E1234567501001\r\n");
    EXPECT_EQ(report("D0001234.err"),
              "Tipo Error:   -  Registro: 501  -  Número:   -  Consecutivo:   -  Línea: 1\r\n"
              "\r\n");
}

}  // namespace
}  // namespace ordano::test
