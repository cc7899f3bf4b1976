// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>

#include <array>

#include "base/Action.h"
#include "dialogs/FolderPicker.h"
#include "dialogs/ParameterFields.h"
#include "engine/Gate.h"
#include "ui/ActionButton.h"

namespace ordano {

class Engine;
class FrontEnd;
class Office;
class PasswordChangeDialog;

// frmParametros, "Parámetros del Sistema": shows the parameters record and lets the office
// change the link type, server address, proxy, telephone and the eight local folders. Loaded
// hidden at start-up and kept for the whole run; its folder fields are the running copy of the
// local folders (pushed into the session whenever they change, through the engine: while a
// sending run is under way, once it ends). Saving, and the payment password's change and
// recovery, are refused while the engine's gate says so; their buttons follow it. Leaving it
// ("Salir", Esc, the close box) drops an edit that was not saved.
class ParametersDialog : public QDialog {
    Q_OBJECT
public:
    ParametersDialog(Office& office, Engine& engine, FrontEnd& ui, QWidget* parent = nullptr);

    void set_folder_picker(FolderPicker picker) { picker_ = std::move(picker); }
    void set_certificate_picker(FolderPicker picker) { certificate_picker_ = std::move(picker); }
    // The local folders as the fields hold them: the running copy.
    [[nodiscard]] LocalFolders folders() const;

    // Runs a toolbar action; actions that are not the toolbar's do nothing.
    void Ejecuta_Opcion(Action action);

    // Copies the parameters record into the fields.
    void Imprime_Datos();
    // True between Modificar and Guardar/Cancelar; out of it the fields are read-only.
    [[nodiscard]] bool in_edit_mode() const { return edit_mode_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // In view mode the link-type combo and the proxy box take no input.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* build_general_tab();
    QWidget* build_folders_tab();
    void build_toolbar();
    void set_tab_order();

    void Muestra_Botones(bool view_mode);
    void Habilita_Campos(bool enabled);
    void cboParametros_Change();
    void chkParametros_Click();
    void cmdParametros_Click(int index);
    void add_tls_rows(QGridLayout* grid, int row);
    void enable_tls_fields();
    void choose_certificate();
    void guardar();
    void cancelar();
    void push_folders();
    void saved();
    void follow_engine(const EngineState& state);
    [[nodiscard]] ParameterFields fields() const;

    // The payment-password change window, shown modally, and the recovery request.
    void password();
    void envkro();

    Office& office_;
    Engine& engine_;
    FrontEnd& ui_;
    FolderPicker picker_;
    FolderPicker certificate_picker_;
    PasswordChangeDialog* frmCambPassword_ = nullptr;

    bool edit_mode_ = false;
    QToolBar* tlbParametros_ = nullptr;
    ToolbarButtons buttons_;  // tlbParametros's, by action
    // Buttons 1 to 3 (view mode) and 4 and 5 (edit mode).
    std::array<QAction*, 3> view_buttons_{};
    std::array<QAction*, 2> edit_buttons_{};
    QTabWidget* sstParametros_ = nullptr;
    std::array<QLineEdit*, 13> txtParametros_{};
    QComboBox* cboParametros_ = nullptr;
    QCheckBox* chkParametros_ = nullptr;
    QSpinBox* txtAtraso_ = nullptr;    // minutes after which an awaited answer is overdue
    QSpinBox* txtSesiones_ = nullptr;  // transfers of one kind at once
    std::array<QPushButton*, 8> cmdParametros_{};
    QCheckBox* chkTls_ = nullptr;
    QLineEdit* txtTlsCa_ = nullptr;
    QPushButton* cmdTlsCa_ = nullptr;
};

}  // namespace ordano
