// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

#include <functional>

class QPlainTextEdit;
class QPrinter;
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

// What a report is printed as: its name (the answer's, "M0015001.err"; the printer's job and,
// printed to a file, "M0015001.err.pdf") and the folder the last report printed to a file went
// to (empty while none was). A folder known, or no printer installed, offers that file in the
// dialog; otherwise the dialog starts on the workstation's printer.
struct PrintTarget {
    QString name;
    QString folder;
};

// Prints the review report: nothing for an empty box; otherwise the printer dialog, then the
// selected text when there is a selection in the box (and the dialog left "selection" chosen),
// the whole `report` otherwise (every character, also of lines the box shows cut). A cancelled
// dialog prints nothing; failures end quietly. A report printed to a file leaves its folder in
// `target`, one printed on paper forgets it (when the dialog is confirmed, which the caller does
// not wait for: `target` must outlive the dialog).
void print_report(const QPlainTextEdit& box, const QString& report, const PrinterDialog& dialog,
                  QWidget* parent, PrintTarget& target);

// Shows the pages print_report would print, in a window of their own over `parent` (which
// does not wait for it); its own button prints them. Nothing for an empty box.
void preview_report(const QPlainTextEdit& box, const QString& report, QWidget* parent,
                    const PrintTarget& target);

}  // namespace ordano
