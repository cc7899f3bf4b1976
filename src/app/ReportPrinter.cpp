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

#include "dialogs/FolderPicker.h"

namespace ordano {
namespace {

void prepare(QPrinter& printer, const PrintTarget& target) {
    const QString name =
        target.name.isEmpty() ? QStringLiteral("Reporte de revisión") : target.name;
    printer.setDocName(name);
    if (!target.folder.isEmpty() || QPrinterInfo::availablePrinterNames().isEmpty()) {
        const QDir folder(target.folder.isEmpty() ? documents_folder() : target.folder);
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

void system_printer_dialog(QPrinter& printer, bool has_selection, QWidget* parent,
                           std::function<void(bool)> confirmed) {
    auto* dialog = new QPrintDialog(&printer, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Imprimir reporte de revisión"));
    dialog->setOption(QAbstractPrintDialog::PrintSelection, has_selection);
    QObject::connect(
        dialog, &QDialog::finished, dialog,
        [confirmed = std::move(confirmed)](int result) { confirmed(result == QDialog::Accepted); });
    dialog->open();
}

void print_report(const QPlainTextEdit& box, const QString& report, const PrinterDialog& dialog,
                  QWidget* parent, PrintTarget& target) {
    if (box.document()->isEmpty() || !dialog) {
        return;
    }
    const bool has_selection = box.textCursor().hasSelection();
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    prepare(*printer, target);
    if (has_selection) {
        printer->setPrintRange(QPrinter::Selection);
    }
    // What is printed is what the box held when printing was asked for.
    const QString selection =
        has_selection ? box.textCursor().selection().toPlainText() : QString();
    dialog(*printer, has_selection, parent,
           [printer, selection, report, font = box.font(), &target](bool confirmed) {
               if (!confirmed) {
                   return;
               }
               try {
                   const bool to_file = printer->outputFormat() == QPrinter::PdfFormat &&
                                        !printer->outputFileName().isEmpty();
                   target.folder =
                       to_file ? QFileInfo(printer->outputFileName()).absolutePath() : QString();
                   const bool selection_only =
                       !selection.isEmpty() && printer->printRange() == QPrinter::Selection;
                   render(*printer, font, selection_only ? selection : report);
               } catch (const std::exception&) {
                   // Printing problems end the printing without a message.
               }
           });
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
