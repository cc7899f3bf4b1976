// SPDX-License-Identifier: Apache-2.0
// The review box with a report of 100,000 records: how long putting it into the box takes,
// the first paint after it, and jumping to its end, for the box as the window fills it and,
// for comparison, a plain-text and a rich-text box given one paragraph per line. Then printing the
// first 10,000 records to a PDF file, and a box given one line of 20 MB. Run headless with
// QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>
#include <string>

#include "app/ReportPrinter.h"
#include "app/ReviewArea.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kPrintedRecords = 10000;

// What review_answer gives for an "M" answer: a record line, its description, a blank line.
std::string report(int records) {
    std::string text =
        "Programa de Ordano  -  Revisión Archivo: M0015001.ERR  -  02/02/2026  "
        "10:30:00 a. m.\r\n\r\n";
    for (int i = 0; i < records; ++i) {
        text += "Pedimento: " + std::to_string(1000000 + i) + "    Error   Reg: 501, Tipo: 3, " +
                "Número: " + std::to_string(i % 90) +
                ", Campo: 4, Línea: " + std::to_string(i % 30000) + "\r\n";
        text += "Error de estructura: Descripción del error número " + std::to_string(i % 997) +
                "\r\n\r\n";
    }
    return text;
}

template <typename Box>
void measure(const char* name, Box& box, const std::function<void()>& fill) {
    box.resize(900, 600);
    box.show();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    fill();
    const double filled = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    box.repaint();
    QApplication::processEvents();
    const double painted = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
    box.repaint();
    QApplication::processEvents();
    const double to_end = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("%-22s set text %8.1f ms   first paint %7.1f ms   jump to end %7.1f ms\n", name,
                filled, painted, to_end);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string text = report(kRecords);
    std::printf("report of %d records: %.1f MB, %d lines\n", kRecords,
                static_cast<double>(text.size()) / 1e6, kRecords * 3 + 2);

    // The review box as the window fills it (lines grouped into paragraphs).
    QPlainTextEdit plain;
    plain.setReadOnly(true);
    plain.setLineWrapMode(QPlainTextEdit::NoWrap);
    measure("rtbPreVal", plain, [&] { ordano::show_report(plain, text); });

    // An answer whose one line is 20 MB long: the box shows the start of it.
    QPlainTextEdit long_line;
    long_line.setReadOnly(true);
    long_line.setLineWrapMode(QPlainTextEdit::NoWrap);
    const std::string one_line = "Pedimento: " + std::string(20 * 1000 * 1000, 'x') + "\r\n";
    measure("rtbPreVal 20 MB line", long_line, [&] { ordano::show_report(long_line, one_line); });
    QPlainTextEdit uncut;  // the same line given whole, as the box took it before
    uncut.setReadOnly(true);
    uncut.setLineWrapMode(QPlainTextEdit::NoWrap);
    measure("20 MB line uncut", uncut,
            [&] { uncut.setPlainText(QString::fromStdString(one_line)); });

    // The same text with one paragraph per line, in a plain-text and in a rich-text box.
    const QString lines = plain.toPlainText();
    QPlainTextEdit ungrouped;
    ungrouped.setReadOnly(true);
    ungrouped.setLineWrapMode(QPlainTextEdit::NoWrap);
    measure("QPlainTextEdit", ungrouped, [&] { ungrouped.setPlainText(lines); });

    QTextEdit rich;
    rich.setReadOnly(true);
    rich.setLineWrapMode(QTextEdit::NoWrap);
    measure("QTextEdit", rich, [&] { rich.setPlainText(lines); });

    QPlainTextEdit printed;
    ordano::show_report(printed, report(kPrintedRecords));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("reporte.pdf"));
    ordano::PrintTarget target;
    QElapsedTimer timer;
    timer.start();
    ordano::print_report(
        printed, printed.toPlainText(),
        [&](QPrinter& printer, bool, QWidget*, const std::function<void(bool)>& confirmed) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            confirmed(true);
        },
        nullptr, target);
    std::printf("printing %d records to PDF: %.1f ms (%.1f MB)\n", kPrintedRecords,
                static_cast<double>(timer.nsecsElapsed()) / 1e6,
                static_cast<double>(QFileInfo(pdf).size()) / 1e6);
    return 0;
}
