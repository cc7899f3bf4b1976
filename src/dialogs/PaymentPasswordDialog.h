// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace ordano {

class UiPort;
struct Sesion;

// frmPassword: asks for the office's electronic-payment password before payment files go out.
// Modal, hidden rather than destroyed when it closes and shown again for the next run; every
// showing starts with an empty box.
class PaymentPasswordDialog : public QDialog {
    Q_OBJECT
public:
    PaymentPasswordDialog(Sesion& session, UiPort& ui, QWidget* parent = nullptr);

    // Shows the window modally until the password is accepted or the prompt is cancelled;
    // leaves the outcome in pass_aceptada and returns it.
    bool ask();

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
    UiPort& ui_;
    QLabel* lblPassword_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    std::array<QPushButton*, 2> cmdPassword_{};
};

}  // namespace ordano
