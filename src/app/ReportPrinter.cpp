// SPDX-License-Identifier: Apache-2.0
#include "app/ReportPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <exception>
#include <memory>

namespace ordano {
namespace {

void prepare(QPrinter& printer, const PrintTarget& target) {
    const QString name =
        target.name.isEmpty() ? QStringLiteral("Reporte de revisión") : target.name;
    printer.setDocName(name);
    if (!target.folder.isEmpty() || QPrinterInfo::availablePrinterNames().isEmpty()) {
        const QDir folder(target.folder.isEmpty() ? QDir::homePath() : target.folder);
        printer.setOutputFileName(folder.filePath(name + QStringLiteral(".pdf")));
    }
}

// What is printed: the selection when there is one and the printer was left on it, else the
// whole report.
QString printed_text(const QPlainTextEdit& box, const QString& report, const QPrinter& printer) {
    const QTextCursor cursor = box.textCursor();
    return cursor.hasSelection() && printer.printRange() == QPrinter::Selection
               ? cursor.selection().toPlainText()
               : report;
}

void render(QPrinter& printer, const QFont& font, const QString& text) {
    QTextDocument document;
    document.setDefaultFont(font);
    document.setPlainText(text);
    // The printer's own range was handled by choosing the text; every page of it is printed.
    printer.setPrintRange(QPrinter::AllPages);
    document.print(&printer);
}

}  // namespace

bool system_printer_dialog(QPrinter& printer, bool has_selection, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Imprimir reporte de revisión"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, has_selection);
    return dialog.exec() == QDialog::Accepted;
}

void print_report(const QPlainTextEdit& box, const QString& report, const PrinterDialog& dialog,
                  QWidget* parent, PrintTarget& target) {
    if (box.document()->isEmpty()) {
        return;
    }
    try {
        const bool has_selection = box.textCursor().hasSelection();
        QPrinter printer(QPrinter::HighResolution);
        prepare(printer, target);
        if (has_selection) {
            printer.setPrintRange(QPrinter::Selection);
        }
        if (!dialog || !dialog(printer, has_selection, parent)) {
            return;
        }
        const bool to_file =
            printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
        target.folder = to_file ? QFileInfo(printer.outputFileName()).absolutePath() : QString();
        render(printer, box.font(), printed_text(box, report, printer));
    } catch (const std::exception&) {
        // Printing problems end the printing without a message.
    }
}

void preview_report(const QPlainTextEdit& box, const QString& report, QWidget* parent,
                    const PrintTarget& target) {
    if (box.document()->isEmpty()) {
        return;
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    prepare(*printer, target);
    if (box.textCursor().hasSelection()) {
        printer->setPrintRange(QPrinter::Selection);
    }
    auto* preview = new QPrintPreviewDialog(printer.get(), parent);
    preview->setObjectName(QStringLiteral("frmVistaPrevia"));
    preview->setWindowTitle(QStringLiteral("Vista previa del reporte de revisión"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [text = printed_text(box, report, *printer),
                      font = box.font()](QPrinter* pages) { render(*pages, font, text); });
    // The printer lives as long as its preview.
    QObject::connect(preview, &QObject::destroyed, [printer] {});
    preview->open();
}

}  // namespace ordano
