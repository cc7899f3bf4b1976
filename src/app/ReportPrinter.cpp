#include "app/ReportPrinter.h"

#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <exception>
#include <memory>

namespace ordano {

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
                  QWidget* parent) {
    if (box.document()->isEmpty() || !dialog) {
        return;
    }
    const QTextCursor cursor = box.textCursor();
    const bool has_selection = cursor.hasSelection();
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("Reporte de revisión"));
    if (has_selection) {
        printer->setPrintRange(QPrinter::Selection);
    }
    // What is printed is what the box held when printing was asked for.
    const QString selection = has_selection ? cursor.selection().toPlainText() : QString();
    dialog(*printer, has_selection, parent,
           [printer, selection, report, font = box.font()](bool confirmed) {
               if (!confirmed) {
                   return;
               }
               try {
                   const bool selection_only =
                       !selection.isEmpty() && printer->printRange() == QPrinter::Selection;
                   QTextDocument document;
                   document.setDefaultFont(font);
                   document.setPlainText(selection_only ? selection : report);
                   // The printer's own range was handled above; every page of it is printed.
                   printer->setPrintRange(QPrinter::AllPages);
                   document.print(printer.get());
               } catch (const std::exception&) {
                   // Printing problems end the printing without a message.
               }
           });
}

}  // namespace ordano
