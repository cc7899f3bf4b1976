// SPDX-License-Identifier: Apache-2.0
#include "dialogs/PaymentPasswordDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include <utility>

#include "office/Session.h"
#include "ui/Images.h"

namespace ordano {

namespace {

constexpr int kAceptar = 0;
constexpr int kCancelar = 1;

bool is_enter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

PaymentPasswordDialog::PaymentPasswordDialog(Sesion& session, FrontEnd& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui) {
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("  Contraseña de Validación"));
    setWindowIcon(images::action_icon(Action::Password));
    setModal(true);

    lblPassword_ = new QLabel(QStringLiteral("Contraseña de Validación"), this);
    lblPassword_->setObjectName(QStringLiteral("lblPassword"));
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    // Every typed character shows as "*", whatever the platform's own mask.
    txtPassword_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    txtPassword_->installEventFilter(this);
    lblPassword_->setBuddy(txtPassword_);

    const std::array<QString, 2> captions = {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(captions[static_cast<std::size_t>(i)], this);
        button->setObjectName(QStringLiteral("cmdPassword(%1)").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { cmdPassword_Click(i); });
        buttons->addWidget(button);
        cmdPassword_[static_cast<std::size_t>(i)] = button;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPassword_);
    layout->addWidget(txtPassword_);
    layout->addLayout(buttons);
    setFixedWidth(320);
    connect(this, &QDialog::finished, this, [this] {
        if (const auto answer = std::exchange(answer_, nullptr)) {
            answer(session_.pass_aceptada);
        }
    });
}

void PaymentPasswordDialog::ask(FrontEnd::PasswordAnswer answer) {
    answer_ = std::move(answer);
    show();
    raise();
    activateWindow();
}

void PaymentPasswordDialog::cmdPassword_Click(int index) {
    if (index == kAceptar) {
        aceptar();
    } else if (index == kCancelar) {
        reject();
    }
}

void PaymentPasswordDialog::aceptar() {
    if (txtPassword_->text().toStdString() != session_.pass_ban) {
        ui_.tell({"Contraseña de pago electrónico no válida", {}, MessageIcon::Critical});
        txtPassword_->clear();
        txtPassword_->setFocus();
        return;
    }
    session_.pass_aceptada = true;
    accept();
}

void PaymentPasswordDialog::reject() {
    session_.pass_aceptada = false;
    QDialog::reject();
}

void PaymentPasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtPassword_->clear();
    txtPassword_->setFocus();
}

bool PaymentPasswordDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the box moves on to the next control, as Tab does; it does not accept.
    if (watched == txtPassword_ && is_enter(event)) {
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ordano
