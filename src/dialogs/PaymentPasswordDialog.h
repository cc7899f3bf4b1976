// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "engine/FrontEnd.h"

namespace ordano {

struct Sesion;

// frmPassword: asks for the office's electronic-payment password before payment files go out.
// Modal, hidden rather than destroyed when it closes and shown again for the next run; every
// showing starts with an empty box.
class PaymentPasswordDialog : public QDialog {
    Q_OBJECT
public:
    PaymentPasswordDialog(Sesion& session, FrontEnd& ui, QWidget* parent = nullptr);

    // Shows the window, modal to the program but without holding the window's thread, until
    // the password is accepted or the prompt is cancelled; then gives `answer` the outcome,
    // also left in pass_aceptada.
    void ask(FrontEnd::PasswordAnswer answer);

    // "Aceptar" on a typed password that matches pass_ban exactly, "Cancelar" otherwise.
    void cmdPassword_Click(int index);

    // Escape and the close box cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void aceptar();

    Sesion& session_;
    FrontEnd& ui_;
    FrontEnd::PasswordAnswer answer_;
    QLabel* lblPassword_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    std::array<QPushButton*, 2> cmdPassword_{};
};

}  // namespace ordano
