// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiOffice.h"
#include "TransferWindow.h"
#include "app/TransferPanel.h"
#include "dialogs/PaymentPasswordDialog.h"
#include "engine/FrontEnd.h"
#include "fixtures/ScriptedUi.h"
#include "office/Session.h"

namespace ordano {
namespace {

constexpr const char* kRefused = "Contraseña de pago electrónico no válida";

class PaymentPasswordPrompt : public ::testing::Test {
protected:
    PaymentPasswordPrompt() {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit& box() { return *dialog.findChild<QLineEdit*>(QStringLiteral("txtPassword")); }
    QPushButton& button(int index) {
        return *dialog.findChild<QPushButton*>(QStringLiteral("cmdPassword(%1)").arg(index));
    }
    void type_and_accept(const QString& text) {
        // Key by key, accented letters included, as typed on the keyboard.
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, &box(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        button(0).click();
    }

    Sesion session;
    test::ScriptedUi ui;
    ImmediateFrontEnd front{ui};
    PaymentPasswordDialog dialog{session, front};
};

// Asks through `ask` (which shows a prompt and answers later) and waits for the answer.
std::optional<bool> answer_of(const std::function<void(FrontEnd::PasswordAnswer)>& ask) {
    std::optional<bool> answer;
    ask([&answer](bool accepted) { answer = accepted; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 5000));
    return answer;
}

TEST_F(PaymentPasswordPrompt, CaptionLabelButtonsAndAMaskedBox) {
    EXPECT_EQ(dialog.objectName(), "frmPassword");
    EXPECT_EQ(dialog.windowTitle(), "  Contraseña de Validación");
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblPassword"))->text(),
              "Contraseña de Validación");
    EXPECT_EQ(box().echoMode(), QLineEdit::Password);
    EXPECT_EQ(button(0).text(), "Aceptar");
    EXPECT_EQ(button(1).text(), "Cancelar");
    EXPECT_TRUE(dialog.isModal());
}

TEST_F(PaymentPasswordPrompt, OnlyTheExactPasswordIsAcceptedAndARefusalKeepsTheWindowOpen) {
    session.pass_ban = "Pago2026";
    for (const QString& wrong : {QStringLiteral("pago2026"), QStringLiteral("Pago2026 "),
                                 QStringLiteral("Pago202"), QString()}) {
        type_and_accept(wrong);
        EXPECT_FALSE(session.pass_aceptada) << wrong.toStdString();
        EXPECT_TRUE(dialog.isVisible()) << wrong.toStdString();
        EXPECT_TRUE(box().text().isEmpty());
        EXPECT_EQ(dialog.focusWidget(), &box());
    }
    ASSERT_EQ(ui.messages.size(), 4U);
    EXPECT_EQ(ui.messages[0].text, kRefused);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(ui.messages[0].caption, std::string(kProductName));

    type_and_accept(QStringLiteral("Pago2026"));
    EXPECT_TRUE(session.pass_aceptada);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ui.messages.size(), 4U);
}

TEST_F(PaymentPasswordPrompt, AccentedPasswordsCompareByTheirCharacters) {
    session.pass_ban = "Contraseña";
    type_and_accept(QStringLiteral("Contrasena"));
    EXPECT_FALSE(session.pass_aceptada);
    type_and_accept(QStringLiteral("Contraseña"));
    EXPECT_TRUE(session.pass_aceptada);
}

TEST_F(PaymentPasswordPrompt, WithNoStoredPasswordAnEmptyBoxIsAccepted) {
    session.pass_ban.clear();
    button(0).click();
    EXPECT_TRUE(session.pass_aceptada);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PaymentPasswordPrompt, CancelClearsTheAcceptance) {
    session.pass_aceptada = true;
    QTest::keyClicks(&box(), QStringLiteral("algo"));
    button(1).click();
    EXPECT_FALSE(session.pass_aceptada);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PaymentPasswordPrompt, EnterMovesTheFocusOnWithoutAccepting) {
    session.pass_ban = "clave";
    box().setFocus();
    QTest::keyClicks(&box(), QStringLiteral("clave"));
    QTest::keyClick(&box(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(session.pass_aceptada);
    EXPECT_EQ(box().text(), "clave");
    EXPECT_EQ(dialog.focusWidget(), &button(0));
    QTest::keyClick(&box(), Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(session.pass_aceptada);
}

TEST_F(PaymentPasswordPrompt, EveryShowingStartsEmptyWithTheFocusInTheBox) {
    session.pass_ban = "clave";
    QTest::keyClicks(&box(), QStringLiteral("escrito"));
    button(1).click();
    dialog.show();
    EXPECT_TRUE(box().text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), &box());

    // Also after a refused attempt left the window by its close box.
    type_and_accept(QStringLiteral("mal"));
    QTest::keyClicks(&box(), QStringLiteral("otra"));
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    EXPECT_TRUE(box().text().isEmpty());
}

TEST(PaymentPasswordModal, TheCloseBoxCancelsAndTheWindowIsReused) {
    Sesion session;
    session.pass_ban = "clave";
    test::ScriptedUi ui;
    ImmediateFrontEnd front(ui);
    PaymentPasswordDialog dialog(session, front);
    const auto ask = [&dialog](FrontEnd::PasswordAnswer answer) { dialog.ask(std::move(answer)); };

    session.pass_aceptada = true;
    test::when_modal([](QWidget& modal) {
        QTest::keyClicks(modal.findChild<QLineEdit*>(QStringLiteral("txtPassword")), "clave");
        test::press_close_box(modal);
    });
    EXPECT_EQ(answer_of(ask), false);
    EXPECT_FALSE(session.pass_aceptada);

    test::when_modal([](QWidget& modal) {
        auto* box = modal.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        EXPECT_TRUE(box->text().isEmpty());
        QTest::keyClicks(box, "clave");
        modal.findChild<QPushButton*>(QStringLiteral("cmdPassword(0)"))->click();
    });
    EXPECT_EQ(answer_of(ask), true);
    EXPECT_TRUE(session.pass_aceptada);
}

// The window installs frmPassword into its front end: the transfers' payment-password prompt
// shows it, always the same window, and answers with its outcome.
TEST(PaymentPasswordInTheWindow, TheUiPortShowsTheWindowsOwnPrompt) {
    test::TransferWindow office;
    office.open();
    office.office->session().pass_ban = "Clave";
    QStringList shown;
    QList<QWidget*> windows;
    // First showing: the right password. Second: a wrong one (refused), then "Cancelar".
    office.robot.on_window = [&](QWidget& modal) {
        shown << modal.objectName();
        windows << &modal;
        auto* box = modal.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        EXPECT_TRUE(box->text().isEmpty());
        const int button = shown.size() == 3 ? 1 : 0;
        if (button == 0) {
            QTest::keyClicks(box, shown.size() == 1 ? "Clave" : "clave");
        }
        modal.findChild<QPushButton*>(QStringLiteral("cmdPassword(%1)").arg(button))->click();
    };
    const auto ask = [&office](FrontEnd::PasswordAnswer answer) {
        office.ui.ask_payment_password(std::move(answer));
    };
    EXPECT_EQ(answer_of(ask), true);
    EXPECT_EQ(answer_of(ask), false);
    EXPECT_EQ(shown, QStringList({"frmPassword", "frmPassword", "frmPassword"}));
    ASSERT_EQ(windows.size(), 3);
    EXPECT_EQ(windows[0], windows[1]);
    EXPECT_EQ(windows[0], windows[2]);
    EXPECT_EQ(&office.window->transfer_panel().password_dialog(), windows[0]);
    EXPECT_EQ(office.robot.texts, QStringList({kRefused}));
}

TEST(PaymentPasswordInTheWindow, ThePortHasNoPromptOnceTheWindowIsGone) {
    test::TransferWindow office;
    office.open();
    office.window.reset();
    EXPECT_EQ(answer_of([&office](FrontEnd::PasswordAnswer answer) {
                  office.ui.ask_payment_password(std::move(answer));
              }),
              false);
}

}  // namespace
}  // namespace ordano
