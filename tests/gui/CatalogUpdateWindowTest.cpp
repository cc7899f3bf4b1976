// SPDX-License-Identifier: Apache-2.0
// frmActCatErr against the real FTP server fixture.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "CatalogGui.h"
#include "GuiOffice.h"
#include "dialogs/CatalogUpdateWindow.h"

namespace ordano {
namespace {
using test::CatalogGui;
using test::shown_mark;

class CatalogUpdateWindowTest : public ::testing::Test {
protected:
    // "caterr" on the main toolbar, as the person does it.
    CatalogUpdateWindow* open_window() {
        gui.find<QAction>("caterr")->trigger();
        return gui.find<CatalogUpdateWindow>("frmActCatErr");
    }
    QAction* button(const char* key) const {
        return gui.find<QToolBar>("tlbAct")->findChild<QAction*>(key);
    }
    // The picture numbers beside the four steps.
    std::vector<int> marks() const {
        std::vector<int> shown;
        for (int step = 1; step <= 4; ++step) {
            shown.push_back(shown_mark(*gui.find<QLabel>(QStringLiteral("imgAct(%1)").arg(step))));
        }
        return shown;
    }
    QString result() const { return gui.find<QLabel>("lblResult")->text(); }
    // Waits for the run to end and delivers what it told the window.
    void settle() const { gui.settle(); }

    CatalogGui gui;
};

TEST_F(CatalogUpdateWindowTest, CaterrShowsTheWindowWithItsControlsModelessly) {
    gui.window->show();
    CatalogUpdateWindow* window = open_window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window->windowTitle(), "Actualización del Catálogo de Errores");

    QStringList buttons;
    for (QAction* action : gui.find<QToolBar>("tlbAct")->actions()) {
        EXPECT_FALSE(action->icon().isNull());
        buttons << action->objectName() + "|" + action->text() + "|" + action->toolTip();
    }
    EXPECT_EQ(buttons, QStringList({"recibir|      Actualizar      |Inicia la recepción de la "
                                    "actualización",
                                    "salir|Salir|Cierra el módulo de actualizaciones"}));
    const QStringList steps = {
        "Descargando Lista de Actualizaciones", "Revisando Lista de Actualizaciones",
        "Descargando Archivo de Actualización", "Instalando Actualización de Catálogo"};
    for (int i = 0; i < 4; ++i) {
        auto* label = gui.find<QLabel>(QStringLiteral("lblAct(%1)").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), steps[i]);
    }
    EXPECT_EQ(marks(), std::vector<int>({0, 0, 0, 0}));
    EXPECT_FALSE(gui.find<QLabel>("imgAct(0)")->pixmap().isNull());
    EXPECT_EQ(result(), "");
    EXPECT_TRUE(button("recibir")->isEnabled());

    // Shown again, it is the same window.
    gui.window->Ejecuta_Accion(Action::CatErr);
    EXPECT_EQ(gui.window->findChildren<CatalogUpdateWindow*>().size(), 1);
    EXPECT_EQ(&gui.window->catalog_window(), window);
    EXPECT_TRUE(gui.world.ui.messages.empty());
}

TEST_F(CatalogUpdateWindowTest, RunInstallsWithItsMarksResultAndPackageBytes) {
    gui.world.publish("revact.txt", "0008\r\n");
    gui.publish_package("0008", {.rows = 200});
    gui.world.server.set_faults({.size_in_reply = true});  // the bar's total: "(N bytes)"
    open_window();

    button("recibir")->trigger();
    settle();

    EXPECT_EQ(marks(), std::vector<int>({3, 3, 3, 4}));
    EXPECT_EQ(result(), "Catálogo actualizado satisfactoriamente!!!");
    EXPECT_EQ(gui.vererr(), 8);
    EXPECT_TRUE(gui.world.ui.messages.empty());
    auto* bar = gui.find<QProgressBar>("prgAct");
    ASSERT_NE(bar, nullptr);
    const auto size = static_cast<int>(gui.package.size());
    EXPECT_EQ(bar->maximum(), size);
    EXPECT_EQ(bar->value(), size);
    EXPECT_TRUE(bar->text().contains(QString::number(size))) << bar->text().toStdString();
    // The engine's last word of the run may reach the window just after it went idle.
    EXPECT_TRUE(QTest::qWaitFor([&] { return button("recibir")->isEnabled(); }, 5000));
}

TEST_F(CatalogUpdateWindowTest, NothingNewerEndsAtStepTwo) {
    gui.world.publish("revact.txt", "0007\r\n");
    open_window();

    button("recibir")->trigger();
    settle();

    EXPECT_EQ(marks(), std::vector<int>({3, 4, 0, 0}));
    EXPECT_EQ(result(), "No existen actualizaciones del catálogo!!!");
    EXPECT_EQ(gui.find<QProgressBar>("prgAct")->value(), 0);
    EXPECT_EQ(gui.vererr(), 7);
}

TEST_F(CatalogUpdateWindowTest, NoVersionListLeavesStepOneUnderWay) {
    open_window();
    button("recibir")->trigger();
    settle();
    EXPECT_EQ(marks(), std::vector<int>({2, 0, 0, 0}));
    // The line keeps what the account update wrote (the server has no password file either).
    EXPECT_EQ(result(), "No existió el archivo");
}

TEST_F(CatalogUpdateWindowTest, CloseBoxHidesAndTheWindowOpensAfresh) {
    gui.world.publish("revact.txt", "0008\r\n");
    gui.publish_package("0008");
    QPointer<CatalogUpdateWindow> window = open_window();
    button("recibir")->trigger();
    settle();
    EXPECT_EQ(marks(), std::vector<int>({3, 3, 3, 4}));

    test::press_close_box(*window);
    settle();

    ASSERT_FALSE(window.isNull()) << "the window was destroyed";
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->update().session().connected());
    EXPECT_TRUE(gui.world.ui.messages.empty());

    // Opened again, nothing of the last run is shown as if it were this one's.
    EXPECT_EQ(open_window(), window.data());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(marks(), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(result(), "");
    EXPECT_EQ(gui.find<QProgressBar>("prgAct")->value(), 0) << "the bar still shows the last run";

    // Version 8 is now installed: the next run finds nothing newer.
    button("recibir")->trigger();
    settle();
    EXPECT_EQ(marks(), std::vector<int>({3, 4, 0, 0}));
    EXPECT_EQ(result(), "No existen actualizaciones del catálogo!!!");
}

// Tab and the arrows go between the two buttons; once a run is over, Space (or Enter) closes
// the window instead of starting it again; Esc closes it too.
TEST_F(CatalogUpdateWindowTest, TheKeyboardReachesSalirAndARunLeavesTheFocusThere) {
    gui.world.publish("revact.txt", "0007\r\n");
    gui.window->show();
    CatalogUpdateWindow* window = open_window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* actualizar = window->findChild<QWidget*>("tlbAct.recibir");
    auto* salir = window->findChild<QWidget*>("tlbAct.salir");
    EXPECT_EQ(QApplication::focusWidget(), actualizar);
    // Opened from the keyboard (F9), its focus is drawn: the styles draw the focus frame only
    // in a window that knows the keyboard moves the focus.
    EXPECT_TRUE(window->testAttribute(Qt::WA_KeyboardFocusChange));
    EXPECT_EQ(test::tab_stops(*actualizar), QStringList({"tlbAct.recibir", "tlbAct.salir"}));
    actualizar->setFocus();
    QTest::keyClick(actualizar, Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), salir);
    QTest::keyClick(salir, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), actualizar);

    QTest::keyClick(actualizar, Qt::Key_Space);
    settle();
    EXPECT_EQ(result(), "No existen actualizaciones del catálogo!!!");
    EXPECT_EQ(QApplication::focusWidget(), salir);
    QTest::keyClick(salir, Qt::Key_Space);
    EXPECT_FALSE(window->isVisible());

    open_window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(CatalogUpdateWindowTest, SalirButtonHidesTheWindow) {
    CatalogUpdateWindow* window = open_window();
    button("salir")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(gui.window->findChildren<CatalogUpdateWindow*>().size(), 1);
}

// While the run goes on (every reply 100 ms late) its button cannot be pressed, and asking for
// another run all the same is refused and said in the main window's status bar.
TEST_F(CatalogUpdateWindowTest, ASecondClickDuringARunDoesNothing) {
    gui.world.publish("revact.txt", "0008\r\n");
    gui.publish_package("0008");
    CatalogUpdateWindow* window = open_window();
    QAction* actualizar = button("recibir");
    gui.world.server.set_faults({.reply_delay = std::chrono::milliseconds(100)});

    actualizar->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !actualizar->isEnabled(); }, 5000));
    window->Movimientos(Action::Recibir);
    EXPECT_EQ(gui.find<QStatusBar>("stbPrincipal")->currentMessage(),
              "La actualización del catálogo ya está en curso.");
    settle();

    EXPECT_TRUE(actualizar->isEnabled());
    EXPECT_EQ(marks(), std::vector<int>({3, 3, 3, 4}));
    EXPECT_EQ(gui.world.server.logins("actualizador"), 1);
    EXPECT_TRUE(gui.world.ui.messages.empty());
}

}  // namespace
}  // namespace ordano
