// SPDX-License-Identifier: Apache-2.0
// The payment-password change window and the recovery request of the parameters dialog,
// against the real FTP server.
#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "GuiOffice.h"
#include "base/Encoding.h"
#include "base/Scramble.h"
#include "dialogs/ParametersDialog.h"
#include "dialogs/PasswordChangeDialog.h"
#include "fixtures/FtpServer.h"
#include "office/Parameters.h"

namespace ordano {
namespace {
using test::GuiOffice;

// The control that Tab moves the focus to from `widget`.
QWidget* next_tab_stop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) {
        next = next->nextInFocusChain();
    }
    return next;
}

class PasswordChangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui_.open();
        gui_.office->session().host = server_.address();
        gui_.office->session().pass_ban = "Vieja1";
        server_.make_folder("update");
        dialog_ = gui_.find<PasswordChangeDialog>("frmCambPassword");
        ASSERT_NE(dialog_, nullptr);
    }
    QLineEdit* box(int index) const {
        return dialog_->findChild<QLineEdit*>(QStringLiteral("txtPassword(%1)").arg(index));
    }
    QPushButton* button(int index) const {
        return dialog_->findChild<QPushButton*>(QStringLiteral("pxbtnCambio(%1)").arg(index));
    }
    // Shows the window without a modal loop of its own, as exec() would show it.
    void show() {
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_));
    }
    void fill(const QString& current, const QString& fresh, const QString& confirmation) {
        box(0)->setText(current);
        box(1)->setText(fresh);
        box(2)->setText(confirmation);
    }
    void press(int index) { QTest::mouseClick(button(index), Qt::LeftButton); }
    void parameters_key(Action action) { gui_.window->parameters_dialog().Ejecuta_Opcion(action); }

    test::FtpServer server_;
    GuiOffice gui_;
    PasswordChangeDialog* dialog_ = nullptr;
};

TEST_F(PasswordChangeTest, WindowLayout) {
    EXPECT_EQ(dialog_->windowTitle(), "Cambio de Contraseña de Pago Electrónico");
    const QStringList labels = {"Contraseña &Actual", "Contraseña &Nueva", "&Confirmar Contraseña"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(box(i), nullptr);
        EXPECT_EQ(box(i)->echoMode(), QLineEdit::Password);
        auto* label = dialog_->findChild<QLabel*>(QStringLiteral("lblPassword(%1)").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), labels[i]);
        EXPECT_EQ(label->buddy(), box(i));
    }
    EXPECT_EQ(button(0)->text(), "Aceptar");
    EXPECT_EQ(button(1)->text(), "Cancelar");
    // Tab order: the three boxes, then the buttons.
    EXPECT_EQ(next_tab_stop(box(0)), box(1));
    EXPECT_EQ(next_tab_stop(box(1)), box(2));
    EXPECT_EQ(next_tab_stop(box(2)), button(0));
    EXPECT_EQ(next_tab_stop(button(0)), button(1));
    // Masked with "*".
    EXPECT_EQ(box(0)->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box(0)),
              '*');
}

TEST_F(PasswordChangeTest, PasswordKeyOpensItModallyWithEmptyBoxes) {
    box(0)->setText("de antes");
    bool seen = false;
    test::when_modal([&](QWidget& modal) {
        seen = true;
        EXPECT_EQ(&modal, dialog_);
        EXPECT_TRUE(box(0)->text().isEmpty());
        EXPECT_EQ(dialog_->focusWidget(), box(0));
        press(1);
    });
    parameters_key(Action::Password);
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen && !dialog_->isVisible(); }, 5000));
    // Hidden, not destroyed: the same window comes back.
    EXPECT_EQ(gui_.find<PasswordChangeDialog>("frmCambPassword"), dialog_);
}

TEST_F(PasswordChangeTest, EnterMovesTheFocusOnWithoutAccepting) {
    show();
    fill("Vieja1", "Nueva1", "Nueva1");
    box(0)->setFocus();
    QTest::keyClick(box(0), Qt::Key_Return);
    EXPECT_TRUE(box(1)->hasFocus());
    QTest::keyClick(box(1), Qt::Key_Enter);
    EXPECT_TRUE(box(2)->hasFocus());
    QTest::keyClick(box(2), Qt::Key_Return);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(gui_.office->session().pass_ban, "Vieja1");
    EXPECT_FALSE(server_.file_bytes("update/cfps0015.rgs"));
}

// Enter on a button presses it, as Space does: on Aceptar the change is made.
TEST_F(PasswordChangeTest, EnterOnAceptarAccepts) {
    show();
    fill("Vieja1", "Nueva1", "Nueva1");
    button(0)->setFocus();
    QTest::keyClick(button(0), Qt::Key_Return);
    gui_.settle();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(gui_.office->session().pass_ban, "Nueva1");
}

TEST_F(PasswordChangeTest, WrongCurrentPasswordIsCheckedFirst) {
    show();
    fill("vieja1", "Nueva1", "Otra");
    press(0);
    ASSERT_EQ(gui_.ui.messages.size(), 1u);
    EXPECT_EQ(gui_.ui.messages[0].text, "No coincide la contraseña actual");
    EXPECT_EQ(gui_.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(box(2)->text(), "Otra");  // the boxes keep what was typed
}

TEST_F(PasswordChangeTest, ConfirmationDifferingOnlyInCaseIsRefused) {
    show();
    fill("Vieja1", "Nueva1", "nueva1");
    press(0);
    EXPECT_EQ(gui_.ui.texts(),
              std::vector<std::string>{"La contraseña nueva no coincide con la confirmación"});
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(gui_.office->session().pass_ban, "Vieja1");
    EXPECT_EQ(server_.logins("ag0015"), 0);
}

TEST_F(PasswordChangeTest, AcceptedChangeIsPublishedStoredAndHidesTheWindow) {
    show();
    fill("Vieja1", "Nueva1", "Nueva1");
    press(0);
    gui_.settle();
    EXPECT_FALSE(dialog_->isVisible());
    ASSERT_EQ(gui_.ui.messages.size(), 1u);
    EXPECT_EQ(gui_.ui.messages[0].text, "La contraseña de pago electrónico se cambió.");
    EXPECT_EQ(gui_.ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(server_.file_bytes("update/cfps0015.rgs"),
              "N" + text::utf8_to_cp1252(scramble("Nueva1")) + "\r\n");
    // The payment prompt compares with pass_ban: the new password is accepted at once.
    EXPECT_EQ(gui_.office->session().pass_ban, "Nueva1");
    EXPECT_EQ(gui_.office->params().text(Param::PassBan), scramble("Nueva1"));
    // The next showing starts empty again.
    show();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(box(i)->text().isEmpty()) << i;
    }
}

// A second Aceptar while the change waits on the server (every reply 100 ms late) is refused
// and said in the main window's status bar; the first change goes through once.
TEST_F(PasswordChangeTest, SecondClickWhileTheChangeWaitsIsIgnored) {
    show();
    fill("Vieja1", "Nueva1", "Nueva1");
    server_.set_faults({.reply_delay = std::chrono::milliseconds(100)});
    press(0);
    press(0);
    EXPECT_EQ(gui_.find<QStatusBar>("stbPrincipal")->currentMessage().toStdString(),
              "La contraseña de pago no se puede cambiar mientras hay un envío o un cambio en "
              "curso.");
    gui_.settle();
    EXPECT_EQ(gui_.ui.texts(),
              std::vector<std::string>{"La contraseña de pago electrónico se cambió."});
    EXPECT_EQ(server_.logins("ag0015"), 1);
    EXPECT_EQ(gui_.office->session().pass_ban, "Nueva1");
    EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(PasswordChangeTest, FailedUploadKeepsTheWindowAndChangesNothing) {
    test::FtpFaults faults;
    faults.refuse_logins = true;
    server_.set_faults(faults);
    show();
    fill("Vieja1", "Nueva1", "Nueva1");
    press(0);
    gui_.settle();
    EXPECT_EQ(gui_.ui.texts(), std::vector<std::string>{"El Usuario o Contraseña no aceptado"});
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(gui_.office->session().pass_ban, "Vieja1");
    EXPECT_FALSE(server_.file_bytes("update/cfps0015.rgs"));
}

TEST_F(PasswordChangeTest, CloseBoxIsCancelar) {
    show();
    fill("Vieja1", "Nueva1", "Nueva1");
    test::press_close_box(*dialog_);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(gui_.office->session().pass_ban, "Vieja1");
    EXPECT_TRUE(gui_.ui.messages.empty());
    EXPECT_EQ(gui_.find<PasswordChangeDialog>("frmCambPassword"), dialog_);
}

TEST_F(PasswordChangeTest, EnvkroPressedAgainWhileTheRequestWaitsIsIgnored) {
    server_.set_faults({.reply_delay = std::chrono::milliseconds(100)});
    gui_.ui.answer(MessageAnswer::Yes);
    gui_.ui.answer(MessageAnswer::Yes);
    parameters_key(Action::EnvKro);
    parameters_key(Action::EnvKro);
    gui_.settle();
    EXPECT_EQ(gui_.ui.texts().back(), "Envio satisfactorio");
    EXPECT_EQ(server_.logins("actualizador"), 1);
}

// The request carries the password: it is asked first, and answered No nothing goes.
TEST_F(PasswordChangeTest, EnvkroKeyAsksThenSendsTheRecoveryRequest) {
    const std::string question =
        "¿Deseas enviar al servidor la solicitud de la contraseña de pago electrónico?";
    gui_.ui.answer(MessageAnswer::No);
    parameters_key(Action::EnvKro);
    gui_.settle();
    EXPECT_FALSE(server_.file_bytes("update/PASS0015.TXT"));
    EXPECT_EQ(gui_.ui.texts(), std::vector<std::string>{question});

    gui_.ui.answer(MessageAnswer::Yes);
    parameters_key(Action::EnvKro);
    gui_.settle();
    EXPECT_EQ(server_.file_bytes("update/PASS0015.TXT"),
              "Password de la patente 0015:  Vieja1\r\n");
    EXPECT_EQ(gui_.ui.texts(),
              (std::vector<std::string>{question, question, "Envio satisfactorio"}));
    EXPECT_FALSE(std::filesystem::exists(gui_.office->session().paths.drive_root / "PASS0015.TXT"));
}

}  // namespace
}  // namespace ordano
