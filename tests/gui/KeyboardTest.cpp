// SPDX-License-Identifier: Apache-2.0
// The main window without a mouse: toolbar keys, Esc for Detener, the Tab order.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "GuiOffice.h"
#include "app/JournalView.h"
#include "app/TransferPanel.h"
#include "dialogs/CatalogUpdateWindow.h"
#include "dialogs/HistoryWindow.h"
#include "dialogs/ParametersDialog.h"

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

    test::with_turn(*window,
                    [&] { window->transfer_panel().desk().add_file_to_send("M0015001.033"); });
    press("F6");  // the file goes to the receive list and the polling starts
    gui.settle();
    EXPECT_TRUE(detener->isEnabled());
    gui.ui.answer(MessageAnswer::Yes);
    press("Esc");
    EXPECT_TRUE(gui.ui.texts().back().starts_with(
        "¿Deseas detener la recepción de archivos en proceso?\r\n\r\n1 archivo dejará"));
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
                           "rtbPreVal", "cmdVistaPrevia", "cmdImprime"}));
}

TEST_F(KeyboardTest, MnemonicsTakeTheFocusToTheirControls) {
    press("Alt+R");
    EXPECT_EQ(window->focusWidget()->objectName(), "lvwPreVal(1)");
    press("Alt+A");
    EXPECT_EQ(window->focusWidget()->objectName(), "txtPreval");
}

// The list the arrows act on is framed in the highlight colour; the others are not.
TEST_F(KeyboardTest, TheListWithTheKeyboardIsFramed) {
    const auto framed = [this](const char* list) {
        const QImage ring =
            gui.find<QWidget>(QString::fromLatin1(list) + ".Foco")->grab().toImage();
        return ring.pixelColor(0, 0) == window->palette().color(QPalette::Highlight);
    };
    gui.find<QWidget>("lvwPreVal(1)")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(framed("lvwPreVal(1)"));
    EXPECT_FALSE(framed("lvwPreVal(0)"));
    EXPECT_FALSE(framed("lvwArchivos"));
    press("Alt+E");
    EXPECT_TRUE(framed("lvwPreVal(0)"));
    EXPECT_FALSE(framed("lvwPreVal(1)"));
}

// The Alt letters shown together in a window: every button, and the label of every field Tab
// reaches, has one, and no two are the same.
QStringList alt_letters(const QWidget& shown, QStringList& without) {
    QStringList letters;
    const auto add = [&](const QString& text, const QString& name, bool needed = true) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) {
            letters << key.toString();
        } else if (needed) {
            without << name;
        }
    };
    for (const QAbstractButton* button : shown.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&shown) && !button->text().trimmed().isEmpty()) {
            add(button->text(), button->objectName());
        }
    }
    for (const QLabel* label : shown.findChildren<QLabel*>()) {
        if (label->isVisibleTo(&shown) && label->buddy() != nullptr) {
            add(label->text(), label->objectName(),
                (label->buddy()->focusPolicy() & Qt::TabFocus) != 0);
        }
    }
    for (const QTabBar* tabs : shown.findChildren<QTabBar*>()) {
        for (int i = 0; i < tabs->count() && tabs->isVisibleTo(&shown); ++i) {
            add(tabs->tabText(i), tabs->objectName());
        }
    }
    return letters;
}

void expect_own_alt_letters(QWidget& shown, const std::string& where) {
    QStringList without;
    const QStringList letters = alt_letters(shown, without);
    EXPECT_TRUE(without.isEmpty()) << where << ": " << without.join(", ").toStdString();
    EXPECT_EQ(QSet<QString>(letters.begin(), letters.end()).size(), letters.size())
        << where << ": " << letters.join(" ").toStdString();
}

TEST_F(KeyboardTest, TheOtherWindowsHaveAltLettersOfTheirOwn) {
    CatalogUpdateWindow& catalog = window->catalog_window();
    catalog.show_modeless();
    expect_own_alt_letters(catalog, "catálogo");
    HistoryWindow& history = window->journal_view().history_window();
    history.show_modeless();
    expect_own_alt_letters(history, "historial");

    ParametersDialog& parameters = window->parameters_dialog();
    parameters.show();
    auto* tabs = parameters.findChild<QTabWidget*>("sstParametros");
    for (const Action mode : {Action::Modificar, Action::Cancelar}) {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            expect_own_alt_letters(parameters, "parámetros, pestaña " + std::to_string(tab) +
                                                   (parameters.in_edit_mode() ? ", edición" : ""));
        }
        parameters.Ejecuta_Opcion(mode);
        QApplication::processEvents();
    }
    parameters.hide();
}

}  // namespace
}  // namespace ordano
