// SPDX-License-Identifier: Apache-2.0
// Electronic-payment answers "A" and "R".
#include "ReviewTestSupport.h"

namespace ordano::test {
namespace {

class PaymentAnswersTest : public ReviewTest {
protected:
    PaymentAnswersTest() {
        add_erroresb(5, "PAGO DUPLICADO");
        add_erroresb(17, "Cuenta sin fondos");
    }
};

const std::string kBlanks20(20, ' ');

TEST_F(PaymentAnswersTest, AAcceptedPayment) {
    const std::string accepted = fixed_line(125, {{6, "LC000000000000000001"},
                                                  {37, "1234567"},
                                                  {76, "05032026"},
                                                  {84, "14:07:09"},
                                                  {92, "OPERACION00001"},
                                                  {106, "SAT00000000000000001"}});
    write_answer(folders.pag_rec, "A0001234.065", accepted + "\r\n");
    EXPECT_EQ(report("A0001234.065"),
              "Pedimento: 1234567  -  Operación: OPERACION00001 -  Fecha: 05032026  -  "
              "Hora: 14:07:09\r\n"
              "Línea de Captura: LC000000000000000001  -  Transacción SAT: "
              "SAT00000000000000001\r\n"
              "\r\n");
}

TEST_F(PaymentAnswersTest, ARejectedUpTo78CharactersAcceptedFrom79) {
    const std::string rejected = fixed_line(78, {{37, "1234567"}, {76, "017"}});
    const std::string accepted = fixed_line(79, {{37, "1234567"}, {76, "017"}, {79, "Z"}});
    const std::string unknown = fixed_line(78, {{37, "7654321"}, {76, "099"}});
    write_answer(folders.pag_rec, "A0001234.065",
                 rejected + "\r\n" + accepted + "\r\n" + unknown + "\r\n");
    EXPECT_EQ(report("A0001234.065"),
              "Pedimento: 1234567 - Error: 017\r\n"
              "Descripción: Cuenta sin fondos\r\n"
              "\r\n"
              "Pedimento: 1234567  -  Operación:  -  Fecha: 017Z  -  Hora: \r\n"
              "Línea de Captura: " +
                  kBlanks20 +
                  "  -  Transacción SAT: \r\n"
                  "\r\n"
                  "Pedimento: 7654321 - Error: 099\r\n");
}

// A totals record: pedimento, "@", signature, 26 characters not shown, two amounts.
std::string totals(std::string_view pedimento, std::string_view cash, std::string_view total) {
    return fixed_line(66, {{1, pedimento}, {8, "@"}, {9, "FIRMA001"}, {43, cash}, {55, total}});
}

TEST_F(PaymentAnswersTest, RTotalsAndErrorsOnePerLine) {
    write_answer(folders.pag_rec, "R0001234.065",
                 totals("1234567", "000000150000", "000000015000") + "\r\n" +
                     "123456705\r\n"
                     "1234567@1\r\n");
    EXPECT_EQ(report("R0001234.065"),
              "Pedimento: 1234567    Firma: FIRMA001    Total Pag. Efvo: 150,000    "
              "Total Contrib: 15,000\r\n"
              "\r\n"
              "Pedimento: 1234567    Error: 05\r\n"
              "Descripción: PAGO DUPLICADO\r\n"
              "\r\n"
              "Pedimento: 1234567    Error: @1\r\n");
}

TEST_F(PaymentAnswersTest, RRecordsSplitAtLineFeedsIncludingTheLast) {
    // Records ended by a bare LF arrive as one line; the record after the last LF is shown
    // too, and empty records between two LFs are left out.
    write_answer(
        folders.pag_rec, "R0001234.065",
        "123456705\n" + totals("7654321", "000001234567", "000000000000") + "\n\n765432117");
    EXPECT_EQ(report("R0001234.065"),
              "Pedimento: 1234567    Error: 05\r\n"
              "Descripción: PAGO DUPLICADO\r\n"
              "\r\n"
              "Pedimento: 7654321    Firma: FIRMA001    Total Pag. Efvo: 1,234,567    "
              "Total Contrib: 0\r\n"
              "\r\n"
              "Pedimento: 7654321    Error: 17\r\n"
              "Descripción: Cuenta sin fondos\r\n"
              "\r\n");
}

TEST_F(PaymentAnswersTest, RAmountsUseTheWorkstationGroupingSymbol) {
    locale.grouping = ".";
    write_answer(folders.pag_rec, "R0001234.065",
                 totals("1234567", "000000150000", "   NO NUMERO") + "\r\n");
    EXPECT_EQ(report("R0001234.065"),
              "Pedimento: 1234567    Firma: FIRMA001    Total Pag. Efvo: 150.000    "
              "Total Contrib: NO NUMERO\r\n"
              "\r\n");
}

}  // namespace
}  // namespace ordano::test
