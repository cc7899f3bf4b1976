// SPDX-License-Identifier: Apache-2.0
// What the person can do in the window while a run goes on: nothing of it waits for the run,
// and the run never sees a change under it.
#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include <atomic>
#include <memory>

#include <filesystem>
#include <string>

#include "TransferWindow.h"
#include "app/NewsTicker.h"
#include "dialogs/ParametersDialog.h"
#include "engine/Engine.h"
#include "office/Session.h"
#include "transfer/PollingTimer.h"

namespace ordano {
namespace {

class EngineWindowTest : public ::testing::Test {
protected:
    EngineWindowTest() { office.open(); }

    void list_file(const std::string& name, std::size_t size) {
        office.write_send_file(name, std::string(size, 'M'));
        engine().with_turn(Request::EditLists,
                           [this, name] { engine().desk().add_file_to_send(name); });
    }
    // Waits until the status bar shows the bytes of a file of the run going up.
    bool run_under_way() const {
        auto* progress = office.find<QLabel>(QStringLiteral("lblProgreso"));
        return QTest::qWaitFor([&] { return progress->text().contains(QStringLiteral(": ")); },
                               10000);
    }
    Engine& engine() { return office.window->engine(); }

    test::TransferWindow office;
};

// "Configuración" opens during a run without holding it; what the person types there waits
// for the run's end (the second file is still read from where the run began), and Guardar
// cannot be pressed meanwhile.
TEST_F(EngineWindowTest, ConfiguracionDuringARunChangesNothingUnderIt) {
    list_file("M0015001.033", 60000);
    list_file("M0015002.033", 60000);
    const std::string val_env = office.office->session().folders.val_env;
    ParametersDialog& dialog = office.window->parameters_dialog();
    auto* guardar = dialog.findChild<QAction*>(QStringLiteral("guardar"));
    dialog.Ejecuta_Opcion(Action::Modificar);
    office.server.set_faults({.reply_delay = std::chrono::milliseconds(100)});

    office.action("enviar").trigger();
    ASSERT_TRUE(engine().state().runs(Job::Sending));
    office.action("parametros").trigger();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(guardar->isEnabled());
    // Greyed out, it says why.
    EXPECT_EQ(guardar->toolTip(),
              "Guarda los cambios efectuados a los parámetros del sistema (Ctrl+S)\n"
              "Los parámetros no se pueden guardar mientras hay un envío o una actualización en "
              "curso.");
    dialog.findChild<QLineEdit*>(QStringLiteral("txtParametros(5)"))->setText("/otra");
    EXPECT_EQ(office.office->session().folders.val_env, val_env);
    office.settle();

    EXPECT_EQ(office.server.file_bytes("valin/M0015002.033"), std::string(60000, 'M'));
    EXPECT_EQ(office.server.file_bytes("valin/M0015001.033"), std::string(60000, 'M'));
    EXPECT_EQ(office.office->session().folders.val_env, "/otra");
    EXPECT_TRUE(guardar->isEnabled());
    EXPECT_FALSE(guardar->toolTip().contains(QStringLiteral("no se pueden guardar")));
    EXPECT_TRUE(office.robot.texts.isEmpty()) << office.robot.texts.join('\n').toStdString();
}

// Logging out closes the window without the close box: the run stops as Salir stops it, and
// the upload it cut short is not left on the server.
TEST_F(EngineWindowTest, ACloseByTheSessionStopsTheRunAsSalirDoes) {
    // More than the connection's buffers take in: the stop finds bytes still to go.
    list_file("M0015001.033", 30 * 1000 * 1000);
    office.server.set_faults({.throttle_bytes_per_second = 20000});
    office.action("enviar").trigger();
    ASSERT_TRUE(run_under_way());

    EXPECT_TRUE(office.window->close());
    office.settle();

    EXPECT_TRUE(office.server.wait_for(
        [&] { return !office.server.file_bytes("valin/M0015001.033").has_value(); }));
    EXPECT_EQ(office.list(1).topLevelItemCount(), 0);
    EXPECT_TRUE(office.office->stop_token().stop_requested());
    EXPECT_TRUE(office.robot.texts.isEmpty()) << office.robot.texts.join('\n').toStdString();
}

// With the server down the polling says so in one box for the whole outage, then only in the
// status bar and on the awaiting rows, however many looks fail (each look 300 ms apart here, 5 s
// in use: a dozen looks are a minute); once it answers again the bar says "reconectado".
TEST_F(EngineWindowTest, AnOutageIsOneBoxThenTheStatusBarAndTheRows) {
    auto* status = office.find<QLabel>(QStringLiteral("stbPrincipal.Recepcion"));
    // Counted for the engine's life, which outlasts this function's.
    struct Looks {
        std::atomic<int> ended = 0;
        std::atomic<bool> under_way = false;
    };
    const auto counted = std::make_shared<Looks>();
    engine().on_state([counted](const EngineState& state) {
        if (counted->under_way.exchange(state.runs(Job::Tick)) && !state.runs(Job::Tick)) {
            ++counted->ended;
        }
    });
    const auto looks = [&] { return counted->ended.load(); };
    list_file("M0015001.033", 10);
    office.action("recibir").trigger();
    office.settle();
    ASSERT_TRUE(office.polling_timer().isActive());
    EXPECT_TRUE(status->text().contains(QRegularExpression(
        QStringLiteral("^esperando 2 respuestas — próxima revisión en [0-5] s$"))))
        << status->text().toStdString();

    // A bulletin fetched before the outage, which says the server works.
    const QString bulletin =
        QStringLiteral("Información del 02/02/2026 a las 10:00 Horas - Servidor en operación");
    engine().with_turn(Request::EditLists,
                       [&] { engine().ticker().show(bulletin.toStdString(), true); });
    auto* ticker = office.find<NewsTicker>(QStringLiteral("nwstBoletines"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticker->text() == bulletin; }, 2000));

    Sesion& session = office.office->session();
    engine().with_turn(Request::EditLists, [&] {
        session.host = "127.0.0.1:1";  // nothing listens there
        engine().desk().timer().set_interval(300);
    });
    const int before = looks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return looks() >= before + 12; }, 30000));
    EXPECT_EQ(office.robot.texts.size(), 1) << office.robot.texts.join('\n').toStdString();
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("sin conexión — reintento en ")))
        << status->text().toStdString();
    QTreeWidgetItem& row = *office.list(1).topLevelItem(0);
    EXPECT_TRUE(row.font(0).italic());
    EXPECT_TRUE(row.toolTip(0).startsWith(QStringLiteral("sin conexión")));
    // The bulletin says since when the server is out of reach, and when it was fetched.
    EXPECT_EQ(ticker->text(),
              "Sin conexión con el servidor desde las 10:30 a.m.; boletín "
              "recibido a las 10:30 a.m.: " +
                  bulletin);

    engine().with_turn(Request::EditLists, [&] { session.host = office.server.address(); });
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return status->text() == QStringLiteral("reconectado"); }, 10000));
    EXPECT_FALSE(row.font(0).italic());
    EXPECT_EQ(ticker->text(), bulletin);
    EXPECT_EQ(office.robot.texts.size(), 1);
}

}  // namespace
}  // namespace ordano
