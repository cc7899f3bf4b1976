// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <stdexcept>
#include <thread>

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
    // Shows a box through the port, answering it with `press`; returns the port's answer.
    MessageAnswer show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                       std::optional<std::string_view> caption, QMessageBox::StandardButton press) {
        test::when_modal([this, press](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            ASSERT_NE(box, nullptr);
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                    box->standardButton(box->defaultButton())};
            box->button(press)->click();
        });
        return ui.message(text, icon, buttons, caption);
    }
    QtUi ui;
    BoxSeen seen;
};

TEST_F(QtUiBoxes, CriticalMessageWithOkAndTheProductName) {
    EXPECT_EQ(show("Usuario o Contraseña no aceptado", MessageIcon::Critical, MessageButtons::Ok,
                   kProductName, QMessageBox::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(seen.title, " PROGRAMA DE ORDANO A VALIDACIÓN");
    EXPECT_EQ(seen.text, "Usuario o Contraseña no aceptado");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

// A question before something that cannot be undone defaults to No; the others to Yes.
TEST_F(QtUiBoxes, QuestionsAnswerYesOrNo) {
    EXPECT_EQ(show("¿Deseas descargar la actualización?", MessageIcon::Information,
                   MessageButtons::YesNo, kProductName, QMessageBox::No),
              MessageAnswer::No);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.default_button, QMessageBox::Yes);
    EXPECT_EQ(show("¿Deseas Salir del Sistema?", MessageIcon::Question, MessageButtons::YesNo,
                   kProductName, QMessageBox::Yes),
              MessageAnswer::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.default_button, QMessageBox::No);
}

TEST_F(QtUiBoxes, WithoutCaptionTheBoxCarriesTheApplicationsTitle) {
    show("No hay comunicación al servidor de validación", MessageIcon::None, MessageButtons::Ok,
         std::nullopt, QMessageBox::Ok);
    EXPECT_EQ(seen.title, "Ordano");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST(QtUiWork, BlockingWorkRunsOffTheWindowThreadWhileEventsGoOn) {
    QtUi ui;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    std::thread::id worker;
    ui.run_blocking([&] {
        worker = std::this_thread::get_id();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_GT(ticks, 3);
}

TEST(QtUiWork, TheWorksExceptionReachesTheCaller) {
    QtUi ui;
    try {
        ui.run_blocking([] { throw std::runtime_error("se cortó la conexión"); });
        ADD_FAILURE() << "nothing was thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "se cortó la conexión");
    }
}

TEST(QtUiWork, YieldLetsPendingEventsThrough) {
    QtUi ui;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    ui.yield();
    EXPECT_TRUE(ran);
}

TEST(QtUiWork, PaymentPasswordIsRefusedUntilAPromptIsInstalled) {
    QtUi ui;
    EXPECT_FALSE(ui.ask_payment_password());
    int asked = 0;
    ui.set_payment_password_prompt([&] {
        ++asked;
        return true;
    });
    EXPECT_TRUE(ui.ask_payment_password());
    EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace ordano
