// SPDX-License-Identifier: Apache-2.0
// Printing the review report: to a PDF file whose text is read back with pdftotext.
#include <gtest/gtest.h>
#include <QDir>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextCursor>

#include "GuiOffice.h"
#include "app/ReportPrinter.h"
#include "app/ReviewArea.h"
#include "fixtures/WineHost.h"

namespace ordano {
namespace {
using test::GuiOffice;

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui_.open();
        review_ = gui_.find<ReviewArea>("ReviewArea");
        ASSERT_NE(review_, nullptr);
        // The printer dialog "confirms" by printing to a PDF file.
        review_->set_printer_dialog(
            [this](QPrinter& printer, bool has_selection, QWidget*, auto confirmed) {
                ++dialogs_;
                offered_selection_ = has_selection;
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(QString::fromStdString(pdf_.string()));
                confirmed(confirm_);
            });
    }
    QPlainTextEdit& box() const { return *gui_.find<QPlainTextEdit>("rtbPreVal"); }
    void print() { QTest::mouseClick(gui_.find<QPushButton>("cmdImprime"), Qt::LeftButton); }
    // The printed text, read back from the PDF file.
    QString printed() const {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty()) {
            ADD_FAILURE() << "pdftotext is missing (poppler-utils)";
            return {};
        }
        QProcess process;
        process.start(tool, {QString::fromStdString(pdf_.string()), QStringLiteral("-")});
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    void select(const QString& text) {
        const QString all = box().toPlainText();
        const auto start = all.indexOf(text);
        ASSERT_GE(start, 0);
        QTextCursor cursor(box().document());
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(start + text.size()), QTextCursor::KeepAnchor);
        box().setTextCursor(cursor);
    }

    GuiOffice gui_;
    ReviewArea* review_ = nullptr;
    std::filesystem::path pdf_ = gui_.box.path() / "reporte.pdf";
    int dialogs_ = 0;
    bool offered_selection_ = false;
    bool confirm_ = true;
};

// The tests that read the printed text back: pdftotext is Linux's, and a Windows program under
// Wine cannot wait for a Linux one.
class PrintedTextTest : public PrintingTest {
protected:
    void SetUp() override {
        if (test::under_wine()) {
            GTEST_SKIP()
                << "the PDF is read back with pdftotext, which Wine cannot run and wait for";
        }
        PrintingTest::SetUp();
    }
};

const QString kReport = QStringLiteral(
    "Programa de Ordano  -  Revisión Archivo: M0015001.ERR\n\n"
    "Pedimento: 1234567    Error   Reg: 501, Tipo: 3\n"
    "Pedimento: 7654321    Firma: FIRMA001\n");

TEST_F(PrintedTextTest, WholeReportWithoutSelection) {
    box().setPlainText(kReport);
    print();
    EXPECT_EQ(dialogs_, 1);
    EXPECT_FALSE(offered_selection_);
    ASSERT_TRUE(std::filesystem::exists(pdf_));
    const QString text = printed();
    EXPECT_TRUE(text.contains("Programa de Ordano")) << text.toStdString();
    EXPECT_TRUE(text.contains("Pedimento: 1234567")) << text.toStdString();
    EXPECT_TRUE(text.contains("FIRMA001")) << text.toStdString();
}

TEST_F(PrintedTextTest, OnlyTheSelectionWhenThereIsOne) {
    box().setPlainText(kReport);
    select(QStringLiteral("Pedimento: 7654321    Firma: FIRMA001"));
    print();
    EXPECT_TRUE(offered_selection_);
    const QString text = printed();
    EXPECT_TRUE(text.contains("FIRMA001")) << text.toStdString();
    EXPECT_FALSE(text.contains("1234567")) << text.toStdString();
    EXPECT_FALSE(text.contains("Programa de Ordano")) << text.toStdString();
}

TEST_F(PrintedTextTest, SelectionSetAsideInTheDialogPrintsEverything) {
    box().setPlainText(kReport);
    select(QStringLiteral("FIRMA001"));
    review_->set_printer_dialog([this](QPrinter& printer, bool, QWidget*, auto confirmed) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf_.string()));
        printer.setPrintRange(QPrinter::AllPages);
        confirmed(true);
    });
    print();
    EXPECT_TRUE(printed().contains("Pedimento: 1234567"));
}

TEST_F(PrintingTest, EmptyBoxPrintsNothingAndShowsNoDialog) {
    print();
    EXPECT_EQ(dialogs_, 0);
    EXPECT_FALSE(std::filesystem::exists(pdf_));
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(PrintingTest, CancelledDialogPrintsNothing) {
    box().setPlainText(kReport);
    confirm_ = false;
    print();
    EXPECT_EQ(dialogs_, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf_));
}

TEST_F(PrintingTest, WorkstationPrinterDialogCancelledPrintsNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows' own print dialog is no Qt window: a test cannot find and cancel it";
#endif
    review_->set_printer_dialog(system_printer_dialog);
    box().setPlainText(kReport);
    bool seen = false;
    test::when_modal([&](QWidget& modal) {
        seen = true;
        EXPECT_NE(qobject_cast<QPrintDialog*>(&modal), nullptr);
        static_cast<QDialog&>(modal).reject();
    });
    print();
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen; }, 5000));
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(PrintingTest, UnwritableOutputFailsQuietly) {
    box().setPlainText(kReport);
    pdf_ = gui_.box.path() / "no-existe" / "reporte.pdf";
    print();
    EXPECT_EQ(dialogs_, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf_));
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(PrintedTextTest, ReportOpenedFromTheSendListIsPrintedAsShown) {
    gui_.box.write_file(
        std::filesystem::path(gui_.office->session().folders.val_rec) / "K0015001.033",
        "REPORTE DE PREVALIDACI\xD3N\r\nSIN ERRORES\r\n");
    auto* item = new QTreeWidgetItem(QStringList{"K0015001.033", "K"});
    auto* list = gui_.find<QTreeWidget>("lvwPreVal(0)");
    list->addTopLevelItem(item);
    review_->lvwPreVal_Click(item);
    print();
    const QString text = printed();
    EXPECT_TRUE(text.contains("REPORTE DE PREVALIDACIÓN")) << text.toStdString();
    EXPECT_TRUE(text.contains("SIN ERRORES")) << text.toStdString();
}

// Printed to a file, a report is offered under its answer's name, in the folder the last one
// went to; the job carries the answer's name too.
TEST_F(PrintingTest, AReportIsOfferedUnderItsAnswersNameInTheLastFolder) {
    const auto folder = gui_.box.path() / "reportes";
    std::filesystem::create_directories(folder);
    pdf_ = folder / "primero.pdf";
    QStringList offered;
    review_->set_printer_dialog(
        [this, &offered](QPrinter& printer, bool, QWidget*, const auto& confirmed) {
            offered << printer.docName() + " | " + printer.outputFileName();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf_.string()));
            confirmed(true);
        });
    for (const char* name : {"K0015001.033", "D0015003.erp"}) {
        gui_.box.write_file(std::filesystem::path(gui_.office->session().folders.val_rec) / name,
                            "SIN ERRORES\r\n");
        review_->open_answer(name);
        print();
    }
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered[0].startsWith("K0015001.033 | ")) << offered[0].toStdString();
    EXPECT_EQ(offered[1],
              "D0015003.erp | " +
                  QDir(QString::fromStdString(folder.string())).filePath("D0015003.erp.pdf"));
    EXPECT_EQ(review_->print_folder(),
              QDir::fromNativeSeparators(QString::fromStdString(folder.string())));
}

TEST_F(PrintingTest, ThePreviewShowsThePagesWithoutPrinting) {
    box().setPlainText(kReport);
    QTest::mouseClick(gui_.find<QPushButton>("cmdVistaPrevia"), Qt::LeftButton);
    auto* preview = gui_.window->findChild<QPrintPreviewDialog*>("frmVistaPrevia");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    auto* pages = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    QTRY_COMPARE(pages->pageCount(), 1);
    EXPECT_EQ(dialogs_, 0);
    preview->close();
    EXPECT_FALSE(std::filesystem::exists(pdf_));
}

TEST_F(PrintedTextTest, AVeryLongLineIsCutInTheBoxAndPrintedWhole) {
    std::string line = "INICIO ";
    for (int i = 0; i < 1500; ++i) {
        line += "palabra ";
    }
    line += "FINAL";
    gui_.box.write_file(
        std::filesystem::path(gui_.office->session().folders.val_rec) / "K0015001.033",
        line + "\r\nSIN ERRORES\r\n");
    auto* item = new QTreeWidgetItem(QStringList{"K0015001.033", "K"});
    gui_.find<QTreeWidget>("lvwPreVal(0)")->addTopLevelItem(item);
    review_->lvwPreVal_Click(item);
    const QStringList shown = box().toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QString::fromStdString(line.substr(0, 10000)) + QStringLiteral("…"));
    print();
    EXPECT_TRUE(printed().contains("FINAL"));
}

}  // namespace
}  // namespace ordano
