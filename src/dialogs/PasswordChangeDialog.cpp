// SPDX-License-Identifier: Apache-2.0
#include "dialogs/PasswordChangeDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "transfer/PaymentPasswordChange.h"
#include "ui/Images.h"
#include "ui/WindowThread.h"

namespace ordano {

namespace {

// The letter after "&" takes Alt to its box.
constexpr std::array<const char*, 3> kLabels = {"Contraseña &Actual", "Contraseña &Nueva",
                                                "&Confirmar Contraseña"};

// Password boxes show every typed character as "*".
class AsteriskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* result) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, result);
    }
};

}  // namespace

PasswordChangeDialog::PasswordChangeDialog(Office& office, Engine& engine, FrontEnd& ui,
                                           QWidget* parent)
    : QDialog(parent), office_(office), engine_(engine), ui_(ui) {
    build();
}

void PasswordChangeDialog::build() {
    setObjectName(QStringLiteral("frmCambPassword"));
    setWindowTitle(QStringLiteral("Cambio de Contraseña de Pago Electrónico"));
    setWindowIcon(images::action_icon(Action::Password));
    setModal(true);
    auto* style = new AsteriskStyle;
    style->setParent(this);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(10);
    for (std::size_t i = 0; i < txtPassword_.size(); ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtPassword(%1)").arg(i));
        box->setEchoMode(QLineEdit::Password);
        box->setStyle(style);
        box->installEventFilter(this);
        auto* label = new QLabel(QString::fromUtf8(kLabels[i]), this);
        label->setObjectName(QStringLiteral("lblPassword(%1)").arg(i));
        label->setBuddy(box);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(box, static_cast<int>(i), 1);
        txtPassword_[i] = box;
    }
    grid->setColumnStretch(1, 1);

    const std::array<QString, 2> captions = {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (std::size_t i = 0; i < pxbtnCambio_.size(); ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("pxbtnCambio(%1)").arg(i));
        // Enter moves between the boxes (see eventFilter) and presses the button that has the
        // focus.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this,
                [this, i] { pxbtnCambio_Click(static_cast<int>(i)); });
        buttons->addWidget(button);
        pxbtnCambio_[i] = button;
    }
    setTabOrder(txtPassword_[0], txtPassword_[1]);
    setTabOrder(txtPassword_[1], txtPassword_[2]);
    setTabOrder(txtPassword_[2], pxbtnCambio_[0]);
    setTabOrder(pxbtnCambio_[0], pxbtnCambio_[1]);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(380);
}

void PasswordChangeDialog::pxbtnCambio_Click(int index) {
    if (index == 0) {
        aceptar();
    } else if (index == 1) {
        cancelar();
    }
}

void PasswordChangeDialog::aceptar() {
    const std::string current = txtPassword_[0]->text().toStdString();
    const std::string new_password = txtPassword_[1]->text().toStdString();
    const std::string confirmation = txtPassword_[2]->text().toStdString();
    if (const auto refusal =
            password_change_refusal(office_.session(), current, new_password, confirmation)) {
        ui_.tell({std::string(*refusal), {}, MessageIcon::Critical});
        return;
    }
    // A failed change has shown its message and changed nothing; the window stays to retry.
    // A second click while the change waits on the server is refused by the engine.
    engine_.change_payment_password(new_password, [this](bool changed) {
        if (changed) {
            on_thread_of(this, [this] {
                done(QDialog::Accepted);
                ui_.tell(
                    {"La contraseña de pago electrónico se cambió.", {}, MessageIcon::Information});
            });
        }
    });
}

void PasswordChangeDialog::cancelar() {
    done(QDialog::Rejected);
}

void PasswordChangeDialog::reject() {
    cancelar();
}

void PasswordChangeDialog::showEvent(QShowEvent* event) {
    for (QLineEdit* box : txtPassword_) {
        box->clear();
    }
    txtPassword_[0]->setFocus();
    QDialog::showEvent(event);
}

void PasswordChangeDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    cancelar();
}

bool PasswordChangeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            std::find(txtPassword_.begin(), txtPassword_.end(), watched) != txtPassword_.end()) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ordano
