// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace ordano {

class Engine;
class FrontEnd;
class Office;

// frmCambPassword, "Cambio de Contraseña de Validación": the current payment password, the new
// one and its confirmation. "Aceptar" checks them and has the engine publish the new password
// (the window closes once it is changed); "Cancelar" and the close box hide the window. Created
// once and hidden, not destroyed, when it closes.
class PasswordChangeDialog : public QDialog {
    Q_OBJECT
public:
    PasswordChangeDialog(Office& office, Engine& engine, FrontEnd& ui, QWidget* parent = nullptr);

    // The buttons' click, by index: 0 "Aceptar", 1 "Cancelar".
    void pxbtnCambio_Click(int index);

    void reject() override;

protected:
    // Every showing starts with three empty boxes and the focus in the first.
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter in a box moves the focus on, as Tab does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void aceptar();
    void cancelar();

    Office& office_;
    Engine& engine_;
    FrontEnd& ui_;
    std::array<QLineEdit*, 3> txtPassword_{};
    std::array<QPushButton*, 2> pxbtnCambio_{};
};

}  // namespace ordano
