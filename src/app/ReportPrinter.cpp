#include "app/ReportPrinter.h"

#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <exception>

namespace ordano {

bool system_printer_dialog(QPrinter& printer, bool has_selection, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Imprimir reporte de revisión"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, has_selection);
    return dialog.exec() == QDialog::Accepted;
}

void print_report(const QPlainTextEdit& box, const QString& report, const PrinterDialog& dialog,
                  QWidget* parent) {
    if (box.document()->isEmpty()) {
        return;
    }
    try {
        const QTextCursor cursor = box.textCursor();
        const bool has_selection = cursor.hasSelection();
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Reporte de revisión"));
        if (has_selection) {
            printer.setPrintRange(QPrinter::Selection);
        }
        if (!dialog || !dialog(printer, has_selection, parent)) {
            return;
        }
        const bool selection_only = has_selection && printer.printRange() == QPrinter::Selection;
        QTextDocument document;
        document.setDefaultFont(box.font());
        document.setPlainText(selection_only ? cursor.selection().toPlainText() : report);
        // The printer's own range was handled above; the document prints every page of it.
        printer.setPrintRange(QPrinter::AllPages);
        document.print(&printer);
    } catch (const std::exception&) {
        // Printing problems end the printing without a message.
    }
}

}  // namespace ordano
