// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <optional>
#include <thread>
#include <vector>

#include "GuiOffice.h"
#include "app/QtUi.h"

namespace ordano {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

class QtUiBoxes : public ::testing::Test {
protected:
    // The box on screen, as seen, answered with `press`.
    BoxSeen answer(QMessageBox::StandardButton press) {
        BoxSeen seen;
        EXPECT_TRUE(QTest::qWaitFor([&] { return ui.current_box() != nullptr; }, 2000));
        QMessageBox* box = ui.current_box();
        if (box == nullptr) {
            return seen;
        }
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                box->standardButton(box->defaultButton())};
        box->button(press)->click();
        return seen;
    }
    QtUi ui;
};

TEST_F(QtUiBoxes, AMessageIsShownWithoutHoldingTheCallerAndModalToTheProgram) {
    ui.tell({"Usuario o Contraseña no aceptado", {}, MessageIcon::Critical});
    ASSERT_NE(ui.current_box(), nullptr);  // shown at once, and the call has returned
    EXPECT_EQ(ui.current_box()->windowModality(), Qt::ApplicationModal);
    const BoxSeen seen = answer(QMessageBox::Ok);
    EXPECT_EQ(seen.title, " PROGRAMA DE ORDANO A VALIDACIÓN");
    EXPECT_EQ(seen.text, "Usuario o Contraseña no aceptado");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui.current_box() == nullptr; }, 2000));
}

// A question before something that cannot be undone (the question icon) defaults to No; the
// others to Yes.
TEST_F(QtUiBoxes, QuestionsAreAnsweredWhenTheirBoxIsClosed) {
    std::vector<MessageAnswer> answers;
    ui.ask({"¿Deseas Salir del Sistema?", {}, MessageIcon::Information},
           [&](MessageAnswer a) { answers.push_back(a); });
    EXPECT_TRUE(answers.empty());
    const BoxSeen first = answer(QMessageBox::No);
    EXPECT_EQ(first.icon, QMessageBox::Information);
    EXPECT_EQ(first.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(first.default_button, QMessageBox::Yes);
    ui.ask({"¿Deseas detener?", {}, MessageIcon::Question},
           [&](MessageAnswer a) { answers.push_back(a); });
    const BoxSeen second = answer(QMessageBox::Yes);
    EXPECT_EQ(second.icon, QMessageBox::Question);
    EXPECT_EQ(second.default_button, QMessageBox::No);
    EXPECT_EQ(answers, (std::vector{MessageAnswer::No, MessageAnswer::Yes}));
}

// A message told while a question is up waits for it: it never covers the question.
TEST_F(QtUiBoxes, BoxesComeOneAtATimeInTheOrderTheyWereAskedForFromAnyThread) {
    std::optional<MessageAnswer> answered;
    ui.ask({"¿Pregunta?", {}, MessageIcon::Question}, [&](MessageAnswer a) { answered = a; });
    std::thread other([this] { ui.tell({"Aviso de otro hilo", {}, MessageIcon::None}); });
    other.join();
    EXPECT_EQ(answer(QMessageBox::Yes).text, "¿Pregunta?");
    EXPECT_EQ(answered, MessageAnswer::Yes);
    EXPECT_EQ(answer(QMessageBox::Ok).text, "Aviso de otro hilo");
    bool seen_all = false;
    ui.after_messages([&] { seen_all = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen_all; }, 2000));
}

TEST_F(QtUiBoxes, WithoutCaptionTheBoxCarriesTheApplicationsTitle) {
    ui.tell({"No hay comunicación al servidor de validación", {}, MessageIcon::None, std::nullopt});
    const BoxSeen seen = answer(QMessageBox::Ok);
    EXPECT_EQ(seen.title, "Ordano");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST(QtUiPrompt, PaymentPasswordIsRefusedUntilAPromptIsInstalled) {
    QtUi ui;
    std::vector<bool> answers;
    ui.ask_payment_password([&](bool accepted) { answers.push_back(accepted); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answers.size() == 1; }, 2000));
    EXPECT_EQ(answers, std::vector<bool>{false});
    FrontEnd::PasswordAnswer pending;
    ui.set_payment_password_prompt([&](FrontEnd::PasswordAnswer answer) { pending = answer; });
    ui.ask_payment_password([&](bool accepted) { answers.push_back(accepted); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(pending); }, 2000));
    pending(true);  // the prompt answers when the person is done with it
    EXPECT_EQ(answers, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace ordano
