#pragma once

#include <functional>

class QPlainTextEdit;
class QPrinter;
class QString;
class QWidget;

namespace ordano {

// Shows the printer dialog for `printer` (offering the selection when there is one) without
// holding the window's thread; `confirmed` is called with true when the person confirmed. The
// printer lives until then. Tests print to a PDF file instead.
using PrinterDialog = std::function<void(QPrinter& printer, bool has_selection, QWidget* parent,
                                         std::function<void(bool confirmed)> confirmed)>;

// The printer dialog of the workstation.
void system_printer_dialog(QPrinter& printer, bool has_selection, QWidget* parent,
                           std::function<void(bool confirmed)> confirmed);

// Prints the review report: nothing for an empty box; otherwise the printer dialog, then the
// selected text when there is a selection in the box (and the dialog left "selection" chosen),
// the whole `report` otherwise (every character, also of lines the box shows cut). A cancelled
// dialog prints nothing; failures end quietly.
void print_report(const QPlainTextEdit& box, const QString& report, const PrinterDialog& dialog,
                  QWidget* parent);

}  // namespace ordano
