// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "office/JournalQuery.h"

#include "dialogs/FolderPicker.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace ordano {

class HistoryModel;
class FrontEnd;
class Office;

// frmHistorial, "Historial de envíos": the journal's rows with filters by date range, kind,
// status and text, sortable columns, a summary line for the rows shown, export of the shown
// rows to CSV (said under the table), and the answer of a row opened for review (double-click
// or Enter; a menu offers both when both are in). Modeless; "Cerrar", Esc and Ctrl+W close it.
// A table without rows says why.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the report of a received answer, by its name, in the main window's review area.
    using OpenAnswer = std::function<void(const std::string& name)>;
    // The file to export to (a suggested name in), nothing when the user cancels.
    using SaveFilePicker = FolderPicker;

    HistoryWindow(Office& office, FrontEnd& ui, OpenAnswer open_answer, QWidget* parent = nullptr);

    void set_save_file_picker(SaveFilePicker picker) { picker_ = std::move(picker); }
    [[nodiscard]] HistoryModel& model() { return *model_; }

    // Shows the window up to date and brings it to the front.
    void show_modeless();
    // Reads the journal again, keeping the filters.
    void refresh();
    // The answer of the row at `row`: the one that is in, a choice of both when both are; a
    // row without any says so.
    void open_row(int row);
    void export_shown_rows();
    void export_to(const QString& file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* build_filters();
    void set_tab_order();
    void build_empty_note();
    void show_empty_note();
    void apply_filters();
    void choose_answer(int row, const std::vector<AnswerRecord>& answers);

    Office& office_;
    FrontEnd& ui_;
    OpenAnswer open_answer_;
    SaveFilePicker picker_;
    QString export_folder_;  // where the last export went; the Documents folder before one
    HistoryModel* model_ = nullptr;
    QCheckBox* chkDesde_ = nullptr;
    QDateEdit* txtDesde_ = nullptr;
    QCheckBox* chkHasta_ = nullptr;
    QDateEdit* txtHasta_ = nullptr;
    QComboBox* cboTipo_ = nullptr;
    QComboBox* cboEstado_ = nullptr;
    QLineEdit* txtBuscar_ = nullptr;
    QLabel* lblResumen_ = nullptr;
    QTableView* lvwHistorial_ = nullptr;
    QPushButton* cmdExportar_ = nullptr;
    QPushButton* cmdActualizar_ = nullptr;
    QPushButton* cmdCerrar_ = nullptr;
    QLabel* lblExportado_ = nullptr;  // what the last export wrote
    QLabel* lblVacio_ = nullptr;      // over the table while it has no rows
    QTimer* typing_ = nullptr;        // the text filter waits for a pause in typing
};

}  // namespace ordano
