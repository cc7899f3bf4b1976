// SPDX-License-Identifier: Apache-2.0
// The report frame: header, dispatch by name, prevalidation reports and failures.
#include <SQLiteCpp/Database.h>

#include "ReviewTestSupport.h"

namespace ordano::test {
namespace {

using Box = ReviewResult::Box;
using namespace std::chrono;

constexpr std::string_view kHeaderM =
    "Programa de Ordano  -  Revisión Archivo: M0001234.ERR  -  05/03/2026  02:07:09 p.m.\r\n\r\n";

class AnswerReviewTest : public ReviewTest {};

TEST_F(AnswerReviewTest, HeaderShowsTheNameInUpperCaseWithDateAndTime) {
    write_answer(folders.val_rec, "m0001234.err", "F1234567ABCDEFGH\r\n");
    const ReviewResult result = review("m0001234.err");
    EXPECT_EQ(result.box, Box::Report);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.box_text(),
              std::string(kHeaderM) + "Pedimento: 1234567    Firma: ABCDEFGH\r\n\r\n");
}

TEST_F(AnswerReviewTest, MorningAndMidnightTimes) {
    now = {2026y / January / 9, 9, 5, 3};
    EXPECT_EQ(review("z.err").header,
              "Programa de Ordano  -  Revisión Archivo: Z.ERR  -  09/01/2026  09:05:03 a.m."
              "\r\n\r\n");
    now = {2026y / December / 31, 0, 0, 0};
    EXPECT_EQ(review("z.err").header,
              "Programa de Ordano  -  Revisión Archivo: Z.ERR  -  31/12/2026  12:00:00 a.m."
              "\r\n\r\n");
}

TEST_F(AnswerReviewTest, UpperCaseErrIsNoErrNameAndEmptiesTheBox) {
    write_answer(folders.val_rec, "M0001234.ERR", "F1234567ABCDEFGH\r\n");
    const ReviewResult result = review("M0001234.ERR");
    EXPECT_EQ(result.box, Box::Empty);
    EXPECT_EQ(result.box_text(), "");
    EXPECT_FALSE(result.failure);
}

TEST_F(AnswerReviewTest, ErrNameOfUnknownInitialKeepsTheHeaderAlone) {
    const ReviewResult result = review("Z0001234.err");
    EXPECT_EQ(result.box, Box::Report);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.box_text(),
              "Programa de Ordano  -  Revisión Archivo: Z0001234.ERR  -  05/03/2026  "
              "02:07:09 p.m.\r\n\r\n");
}

TEST_F(AnswerReviewTest, NamesOfNoKnownKindEmptyTheBox) {
    for (const char* name : {"B0001234.065", "", "S0001234.065", "Mx"}) {
        const ReviewResult result = review(name);
        EXPECT_EQ(result.box, Box::Empty) << name;
        EXPECT_EQ(result.box_text(), "") << name;
    }
}

TEST_F(AnswerReviewTest, EachKindIsReadFromItsOwnFolder) {
    // The same signature-like line in every folder but the right one would show nothing.
    write_answer(folders.tra_rec, "T0001234.err", "1234567FCARTASOK\r\n");
    write_answer(folders.val_rec, "T0001234.err", "1234567FVALREC!!\r\n");
    EXPECT_EQ(review("T0001234.err").body, "Pedimento: 1234567    Firma: CARTASOK\r\n\r\n");
    write_answer(folders.pag_rec, "R0001234.065", "123456799\r\n");
    EXPECT_EQ(review("R0001234.065").body, "Pedimento: 1234567    Error: 99\r\n");
    write_answer(folders.val_rec, "D0001234.err", "F3912\r\n");
    EXPECT_EQ(review("D0001234.err").body,
              "Patente: 3912   Pedimento:    A.G.D.:    S.D.F.:    Folio CC:   Acuse "
              "Electrónico:\r\n\r\n");
}

TEST_F(AnswerReviewTest, PrevalidationReportsReplaceTheBoxWithTheFileText) {
    // Read from the dialog's SAAI M3 receive folder, not the parameters record's.
    write_answer(dialog_val_rec, "P1234567.ERP", "REPORTE DE VALIDACI\xD3N\r\nL\xCDNEA 2\r\n");
    write_answer(dialog_val_rec, "p7654321.erp", "otro");
    write_answer(dialog_val_rec, "K0001234.065", "K\r\n");
    write_answer(folders.val_rec, "K0001234.065", "NO DEBE LEERSE");

    const ReviewResult upper = review("P1234567.ERP");
    EXPECT_EQ(upper.box, Box::FileText);
    EXPECT_EQ(upper.box_text(), "REPORTE DE VALIDACIÓN\r\nLÍNEA 2\r\n");
    EXPECT_EQ(review("p7654321.erp").box_text(), "otro");
    EXPECT_EQ(review("K0001234.065").box_text(), "K\r\n");
}

TEST_F(AnswerReviewTest, MissingPrevalidationReportKeepsTheHeaderAndNamesThePath) {
    const ReviewResult result = review("K0009999.065");
    EXPECT_EQ(result.box, Box::Report);
    EXPECT_EQ(result.box_text(), result.header);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->number, 68);
    EXPECT_EQ(result.failure->message,
              "No se encontró el archivo " +
                  (std::filesystem::path(dialog_val_rec) / "K0009999.065").string());
}

TEST_F(AnswerReviewTest, MissingFileOrFolderIsAFailureNamingThePath) {
    folders.val_rec = (sandbox.path() / "no-existe").string();
    const ReviewResult result = review("M0001234.err");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->number, 68);
    EXPECT_EQ(
        result.failure->message,
        "No se encontró el archivo " + (sandbox.path() / "no-existe" / "M0001234.err").string());
    EXPECT_EQ(result.box_text(), result.header);
}

TEST_F(AnswerReviewTest, UnreadableFileIsAFailureNamingThePath) {
    std::filesystem::create_directories(std::filesystem::path(folders.pag_rec) / "A0001234.065");
    const ReviewResult result = review("A0001234.065");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->number, 70);
    EXPECT_EQ(result.failure->message,
              "No se puede leer el archivo " +
                  (std::filesystem::path(folders.pag_rec) / "A0001234.065").string());
}

TEST_F(AnswerReviewTest, UnsetFolderIsAFailure) {
    folders.prof_rec.clear();
    const ReviewResult result = review("Q0001234.065");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->message,
              "No está configurada la carpeta de recepción del archivo Q0001234.065");
}

TEST_F(AnswerReviewTest, BrokenCatalogueStillRendersTheWholeFile) {
    add_erroresb(5, "PAGO DUPLICADO");
    db.exec("DROP TABLE ERRORESB");
    write_answer(folders.pag_rec, "R0001234.065", "123456705\r\n123456706\r\n");
    const ReviewResult result = review("R0001234.065");
    EXPECT_EQ(result.body,
              "Pedimento: 1234567    Error: 05\r\n"
              "Pedimento: 1234567    Error: 06\r\n");
    ASSERT_TRUE(result.failure);
    EXPECT_NE(result.failure->message.find("catálogo de errores"), std::string::npos);
}

}  // namespace
}  // namespace ordano::test
