// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWindow>

#include "GuiOffice.h"
#include "dialogs/ParametersDialog.h"

namespace ordano {
namespace {
using namespace std::chrono;
using test::GuiOffice;

OfficeSetup office_setup(int patente, const std::string& agente) {
    OfficeSetup setup = test::TestOffice::default_setup();
    setup.patente = patente;
    setup.agente = agente;
    return setup;
}

QString panel(const GuiOffice& gui, int number) {
    auto* label = gui.find<QLabel>(QStringLiteral("stbPrincipal.Panels(%1)").arg(number));
    return label ? label->text() : QStringLiteral("<no panel>");
}

QStringList visible_headers(const QTreeWidget& list) {
    QStringList headers;
    for (int i = 0; i < list.columnCount(); ++i) {
        if (!list.isColumnHidden(i)) {
            headers << list.headerItem()->text(i);
        }
    }
    return headers;
}

QStringList column_keys(const QTreeWidget& list) {
    QStringList keys;
    for (int i = 0; i < list.columnCount(); ++i) {
        keys << list.headerItem()->data(i, Qt::UserRole).toString();
    }
    return keys;
}

TEST(MainWindowStartUp, CaptionAndStatusBarForPatente7OnTheFirstOfJanuary) {
    GuiOffice gui(office_setup(7, "JUAN PÉREZ"), {2026y / January / 1, 9, 5, 0});
    const MainWindow& window = gui.open();

    EXPECT_EQ(window.objectName(), "frmPreVal");
    EXPECT_EQ(window.windowTitle(), QStringLiteral(" PROGRAMA DE ORDANO A VALIDACIÓN - VERSIÓN "
                                                   "%1.%2.%3  |  PATENTE 0007 - JUAN PÉREZ")
                                        .arg(ORDANO_VERSION_MAJOR)
                                        .arg(ORDANO_VERSION_MINOR)
                                        .arg(ORDANO_VERSION_PATCH));
    EXPECT_EQ(panel(gui, 1), "jueves, 1 de enero de 2026");
    EXPECT_EQ(panel(gui, 2), "Día Juliano:  001");
    EXPECT_EQ(panel(gui, 3), "09:05 a.m.");

    EXPECT_EQ(window.letra_tipo(), "M");
    EXPECT_EQ(window.patron_archivos(), "M0007*.001");
    EXPECT_EQ(gui.office->session().dia_juliano, 1);
}

TEST(MainWindowStartUp, LastDayOfALeapYearIsDay366) {
    GuiOffice gui(office_setup(15, "NOMBRE"), {2024y / December / 31, 23, 59, 0});
    const MainWindow& window = gui.open();
    EXPECT_EQ(panel(gui, 2), "Día Juliano:  366");
    EXPECT_EQ(window.patron_archivos(), "M0015*.366");
}

TEST(MainWindowStartUp, ClockPanelFollowsTheTimeOfDay) {
    GuiOffice gui;
    gui.open();
    gui.clock.set({2026y / February / 2, 14, 47, 0});
    // In the lists' form, 12-hour with the designator.
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel(gui, 3) == "02:47 p.m."; }, 3000))
        << panel(gui, 3).toStdString();
    // The date panels keep their start-up values.
    EXPECT_EQ(panel(gui, 2), "Día Juliano:  033");
}

TEST(MainWindowStartUp, SelectorsStartOnTheirFirstItemsWithTagZero) {
    GuiOffice gui;
    const MainWindow& window = gui.open();
    auto* search_by = gui.find<QComboBox>("cboPreVal(0)");
    auto* kind = gui.find<QComboBox>("cboPreVal(1)");
    ASSERT_TRUE(search_by && kind);
    EXPECT_EQ(search_by->currentIndex(), 0);
    EXPECT_EQ(kind->currentIndex(), 0);
    EXPECT_EQ(window.selector_tag(0), "0");
    EXPECT_EQ(window.selector_tag(1), "0");
    QStringList items;
    for (QComboBox* combo : {search_by, kind}) {
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
    }
    EXPECT_EQ(items, QStringList({"DÍA ACTUAL", "TODOS LOS DÍAS", "SAAI M3", "PAGO ELECTRÓNICO",
                                  "SAGARPA", "CARTAS CUPO"}));
}

TEST(MainWindowControls, EveryNamedControlIsThereWithItsKind) {
    GuiOffice gui;
    gui.open();
    for (const char* name : {"cmdBuscar", "cmdImprime", "cmdPreVal", "cmdPreElm", "cmdLimpia"}) {
        EXPECT_NE(gui.find<QPushButton>(name), nullptr) << name;
    }
    for (const char* name : {"lvwPreVal(0)", "lvwPreVal(1)", "lvwArchivos"}) {
        EXPECT_NE(gui.find<QTreeWidget>(name), nullptr) << name;
    }
    EXPECT_NE(gui.find<QLineEdit>("txtPreval"), nullptr);
    EXPECT_NE(gui.find<QStatusBar>("stbPrincipal"), nullptr);
    EXPECT_EQ(gui.find<QPushButton>("cmdImprime")->toolTip(),
              "Imprime el reporte de revisión del archivo");
    auto* report = gui.find<QPlainTextEdit>("rtbPreVal");
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isReadOnly());
    auto* heading = gui.find<QLabel>("lblRevision");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), "REVISIÓN DE ARCHIVOS");
    EXPECT_EQ(gui.find<QLabel>("lblPreVal(0)")->text(), "Buscar &Por");
    EXPECT_EQ(gui.find<QLabel>("lblPreVal(1)")->text(), "&Tipo de Archivo");
}

TEST(MainWindowControls, PollingStartsOffAndTheCatalogueCheckIsArmedOnce) {
    GuiOffice gui;
    gui.open();
    auto* polling = gui.find<QTimer>("tmrPreVal");
    auto* catalogue = gui.find<QTimer>("tmrCatError");
    ASSERT_TRUE(polling && catalogue);
    EXPECT_FALSE(polling->isActive());
    EXPECT_EQ(polling->interval(), 2000);
    EXPECT_TRUE(catalogue->isActive());
    EXPECT_TRUE(catalogue->isSingleShot());
}

TEST(MainWindowControls, ToolbarHasTheSevenButtonsInOrder) {
    GuiOffice gui;
    gui.open();
    auto* toolbar = gui.find<QToolBar>("tlbPreVal");
    ASSERT_NE(toolbar, nullptr);
    QStringList shown;
    for (QAction* action : toolbar->actions()) {
        EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
        shown << action->objectName() + "|" + action->text() + "|" + action->toolTip();
    }
    EXPECT_EQ(
        shown,
        QStringList({"enviar|Enviar/Recibir|Envia los archivos a Prevalidación/Validación (F5)",
                     "recibir|Recibir|Inicia la recepción manual de archivos (F6)",
                     "detener|Detener|Detiene la recepción de archivos en proceso (Esc)",
                     "caterr|Actualizar Catálogo|Actualiza el catálogo de errores (F9)",
                     "parametros|Configuración|Configuración de rutas de los archivos (Ctrl+,)",
                     "historial|Historial|Historial de los archivos enviados y sus respuestas "
                     "(Ctrl+H)",
                     "salir|Salir|Cierra el módulo de envío de archivos M3 (Ctrl+Q)"}));
}

TEST(MainWindowControls, ListsHaveTheirColumnsKeysAndBackground) {
    GuiOffice gui;
    gui.open();
    auto* send = gui.find<QTreeWidget>("lvwPreVal(0)");
    auto* receive = gui.find<QTreeWidget>("lvwPreVal(1)");
    ASSERT_TRUE(send && receive);
    EXPECT_EQ(column_keys(*send), QStringList({"", "", "Icono", "RutaPre", "RutaVal", ""}));
    EXPECT_EQ(column_keys(*receive),
              QStringList({"", "", "", "", "RutaPrev", "RutaVal", "ArchivoPrev", "ArchivoVal",
                           "RutaDest", "Icono", ""}));
    EXPECT_EQ(visible_headers(*send), QStringList({"Archivo", "Estado", "Situación"}));
    EXPECT_EQ(visible_headers(*receive),
              QStringList({"Archivo", "Prev.", "Val.", "Enviado", "Situación"}));
    for (QTreeWidget* list : {send, receive}) {
        EXPECT_EQ(list->topLevelItemCount(), 0);
        EXPECT_FALSE(list->palette().brush(QPalette::Base).texture().isNull());
    }
}

class ExitQuestion : public ::testing::Test {
protected:
    void SetUp() override {
        window = &gui.open();
        window->show();
    }
    void expect_exit_question() const {
        ASSERT_EQ(gui.ui.messages.size(), 1u);
        const auto& shown = gui.ui.messages.front();
        EXPECT_EQ(shown.text, "¿Deseas Salir del Sistema?");
        EXPECT_EQ(shown.icon, MessageIcon::Question);
        EXPECT_EQ(shown.buttons, MessageButtons::YesNo);
        EXPECT_EQ(shown.caption, std::string(kProductName));
    }
    GuiOffice gui;
    MainWindow* window = nullptr;
};

TEST_F(ExitQuestion, AnsweredNoLeavesTheWindowOpen) {
    gui.ui.answer(MessageAnswer::No);
    window->Ejecuta_Accion(Action::Salir);
    expect_exit_question();
    EXPECT_EQ(gui.quits, 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ExitQuestion, AnsweredYesEndsTheProgram) {
    gui.ui.answer(MessageAnswer::Yes);
    gui.find<QAction>("salir")->trigger();
    expect_exit_question();
    EXPECT_EQ(gui.quits, 1);
}

TEST_F(ExitQuestion, CloseBoxAsksTheSameQuestion) {
    gui.ui.answer(MessageAnswer::No);
    test::press_close_box(*window);
    expect_exit_question();
    EXPECT_EQ(gui.quits, 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ExitQuestion, CloseRequestedByTheProgramDoesNotAsk) {
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(gui.ui.messages.empty());
    EXPECT_FALSE(window->isVisible());
}

TEST(MainWindowActions, QuittingHidesTheWindowsAndEndsTheEventLoop) {
    GuiOffice gui;
    MainWindow& window = gui.open();
    window.show();
    QTimer::singleShot(0, &MainWindow::quit_application);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindowActions, TheOtherWindowsActionsDoNothingHere) {
    GuiOffice gui;
    MainWindow& window = gui.open();
    for (const Action action : {Action::Modificar, Action::Guardar, Action::Cancelar,
                                Action::Password, Action::EnvKro, Action::Carpeta}) {
        window.Ejecuta_Accion(action);
    }
    EXPECT_TRUE(gui.ui.messages.empty());
    EXPECT_FALSE(window.parameters_dialog().isVisible());
    EXPECT_EQ(gui.quits, 0);
}

TEST(MainWindowActions, ParametrosShowsTheParametersDialogModally) {
    GuiOffice gui;
    MainWindow& window = gui.open();
    window.show();
    QString seen;
    test::when_modal([&](QWidget& modal) {
        seen = modal.objectName() + "|" + modal.windowTitle();
        modal.findChild<QAction*>("salir")->trigger();
    });
    gui.find<QAction>("parametros")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }, 5000));
    EXPECT_EQ(seen, "frmParametros|Parámetros del Sistema");
    EXPECT_FALSE(window.parameters_dialog().isVisible());
    // The same dialog is kept for the next showing.
    EXPECT_EQ(&window.parameters_dialog(), gui.find<ParametersDialog>("frmParametros"));
}

}  // namespace
}  // namespace ordano
