// The main window without a mouse: toolbar keys, Esc for Detener, the Tab order.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QTest>

#include "GuiOffice.h"
#include "app/TransferPanel.h"
#include "dialogs/CatalogUpdateWindow.h"

namespace ordano {
namespace {
using test::GuiOffice;
using test::tab_stops;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = &gui.open();
        activate();
    }
    // Shortcuts go to the active window: wait until the application takes the main window as
    // such (a dialog just hidden can stay the active one for a while).
    void activate() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return QApplication::activeWindow() == window; }, 30000));
    }
    void press(const char* keys) { QTest::keySequence(window, QKeySequence(QLatin1String(keys))); }

    GuiOffice gui;
    MainWindow* window = nullptr;
};

TEST_F(KeyboardTest, ToolbarKeysRunTheirActions) {
    press("F5");
    gui.settle();  // a run under way would refuse F6
    press("F6");
    gui.settle();
    gui.ui.answer(MessageAnswer::No);
    press("Ctrl+Q");
    EXPECT_EQ(gui.ui.texts(),
              std::vector<std::string>({"Debes incluir al menos un archivo en la lista de envío!!!",
                                        "Debes incluir al menos un archivo en la lista de "
                                        "recepción!!!",
                                        "¿Deseas Salir del Sistema?"}));
    EXPECT_EQ(gui.quits, 0);

    QString shown;
    test::when_modal([&](QWidget& modal) {
        shown = modal.objectName();
        modal.findChild<QAction*>("salir")->trigger();
    });
    press("Ctrl+,");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 5000));
    EXPECT_EQ(shown, "frmParametros");

    activate();
    press("F9");
    EXPECT_TRUE(window->catalog_window().isVisible());
}

TEST_F(KeyboardTest, EscStopsTheReceptionOnlyWhileThereIsOneToStop) {
    QAction* detener = gui.find<QAction>("detener");
    EXPECT_FALSE(detener->isEnabled());
    press("Esc");
    EXPECT_TRUE(gui.ui.messages.empty());

    window->transfer_panel().desk().lvwArchivos_DblClick("M0015001.033");
    press("F6");  // the file goes to the receive list and the polling starts
    gui.settle();
    EXPECT_TRUE(detener->isEnabled());
    gui.ui.answer(MessageAnswer::Yes);
    press("Esc");
    EXPECT_EQ(gui.ui.texts().back(), "¿Deseas detener la recepción de archivos en proceso?");
    EXPECT_TRUE(window->transfer_panel().desk().receive_list().empty());
    EXPECT_FALSE(detener->isEnabled());
}

TEST_F(KeyboardTest, TabGoesThroughTheWindowAsItReads) {
    // "Detener" is left out while there is nothing to stop.
    EXPECT_EQ(tab_stops(*gui.find<QWidget>("tlbPreVal.enviar")),
              QStringList({"tlbPreVal.enviar", "tlbPreVal.recibir", "tlbPreVal.caterr",
                           "tlbPreVal.parametros", "tlbPreVal.historial", "tlbPreVal.salir",
                           "lvwPreVal(0)", "cmdPreVal", "cmdLimpia", "lvwPreVal(1)", "cmdPreElm",
                           "cboPreVal(0)", "cboPreVal(1)", "txtPreval", "cmdBuscar", "lvwArchivos",
                           "rtbPreVal", "cmdImprime"}));
}

TEST_F(KeyboardTest, MnemonicsTakeTheFocusToTheirControls) {
    press("Alt+R");
    EXPECT_EQ(window->focusWidget()->objectName(), "lvwPreVal(1)");
    press("Alt+A");
    EXPECT_EQ(window->focusWidget()->objectName(), "txtPreval");
}

}  // namespace
}  // namespace ordano
