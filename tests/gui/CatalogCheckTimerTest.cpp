// SPDX-License-Identifier: Apache-2.0
// The catalogue check that tmrCatError runs once, 2 s after start-up.
#include <gtest/gtest.h>

#include <QTest>

#include "CatalogGui.h"
#include "base/UiPort.h"
#include "dialogs/CatalogUpdateWindow.h"

namespace ordano {
namespace {
using test::CatalogGui;

constexpr const char* kQuestion =
    "Existe una versión actualizada del catálogo de errores, ¿Deseas descargar la actualización?";

// Records when a window is shown and hidden.
struct ShowsAndHides : QObject {
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            events.push_back(event->type());
        }
        return false;
    }
    std::vector<QEvent::Type> events;
};

class CatalogCheckTimerTest : public ::testing::Test {
protected:
    CatalogCheckTimerTest() { gui.world.publish("revact.txt", "0008\r\n"); }

    QTimer& timer() const { return *gui.find<QTimer>("tmrCatError"); }
    // Lets the event loop run until the check has logged in and out again.
    bool check_done(int logins = 1) const {
        return QTest::qWaitFor([&] { return gui.world.server.logouts("actualizador") >= logins; },
                               8000);
    }

    CatalogGui gui{true};
};

TEST_F(CatalogCheckTimerTest, ArmedAtStartUpOnceAfterTwoSeconds) {
    EXPECT_TRUE(timer().isActive());
    EXPECT_TRUE(timer().isSingleShot());
    EXPECT_EQ(timer().interval(), 2000);
}

TEST_F(CatalogCheckTimerTest, AsksAboutANewerCatalogueAndNoChangesNothing) {
    gui.world.ui.answer(MessageAnswer::No);

    ASSERT_TRUE(check_done());
    gui.settle();

    ASSERT_EQ(gui.world.ui.messages.size(), 1u);
    const auto& asked = gui.world.ui.messages.front();
    EXPECT_EQ(asked.text, kQuestion);
    EXPECT_EQ(asked.icon, MessageIcon::Information);
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_EQ(asked.caption, std::string(kProductName));
    EXPECT_EQ(gui.vererr(), 7);
    EXPECT_FALSE(gui.window->engine().check_session().connected());
    EXPECT_FALSE(timer().isActive());
    // No package was fetched, and the check does not come back.
    QTest::qWait(2300);
    EXPECT_EQ(gui.world.server.logins("actualizador"), 1);
    EXPECT_EQ(gui.world.ui.messages.size(), 1u);
    auto* window = gui.find<CatalogUpdateWindow>("frmActCatErr");
    EXPECT_TRUE(window == nullptr || !window->isVisible());
}

TEST_F(CatalogCheckTimerTest, YesRunsTheUpdateInTheWindowAndSaysSo) {
    gui.publish_package("0008");
    gui.world.ui.answer(MessageAnswer::Yes);
    CatalogUpdateWindow& window = gui.window->catalog_window();
    ShowsAndHides seen;
    window.installEventFilter(&seen);

    ASSERT_TRUE(check_done(2));
    gui.settle();

    EXPECT_EQ(
        gui.world.ui.texts(),
        std::vector<std::string>({kQuestion, "Catálogo de errores actualizado correctamente"}));
    EXPECT_EQ(gui.vererr(), 8);
    // Shown for the run, and hidden again after it.
    EXPECT_EQ(seen.events, (std::vector<QEvent::Type>{QEvent::Show, QEvent::Hide}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(test::shown_mark(*gui.find<QLabel>("imgAct(4)")), 4);
    EXPECT_EQ(gui.find<QLabel>("lblResult")->text(), "Catálogo actualizado satisfactoriamente!!!");
}

TEST_F(CatalogCheckTimerTest, FailuresOfTheCheckAreSilent) {
    gui.world.server.set_faults({.refuse_logins = true});

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return gui.world.server.refused_logins("actualizador") >= 1; }, 8000));
    gui.settle();

    EXPECT_TRUE(gui.world.ui.messages.empty());
    EXPECT_FALSE(timer().isActive());
    EXPECT_FALSE(gui.window->engine().check_session().connected());
}

// Enviar in the first 2 s: the run, the check and the bulletin each have their session. The
// check waits for the run's end, then asks; no login is refused and no box comes unasked.
TEST_F(CatalogCheckTimerTest, EnviarBeforeTheCheckNeitherBreaksTheCheckNorShowsABox) {
    gui.world.server.make_folder("valin");
    gui.world.box.write_file(
        std::filesystem::path(gui.world.office->session().folders.val_env) / "M0015001.341", "m");
    gui.window->engine().with_turn(Request::EditLists, [this] {
        gui.window->engine().desk().add_file_to_send("M0015001.341");
    });
    gui.world.server.set_faults({.reply_delay = std::chrono::milliseconds(100)});
    gui.world.ui.answer(MessageAnswer::No);

    gui.window->Ejecuta_Accion(Action::Enviar);
    ASSERT_TRUE(check_done(2));  // the bulletin's refresh (the run's first step), the check
    gui.settle();

    EXPECT_EQ(gui.world.server.file_bytes("valin/M0015001.341"), "m");
    EXPECT_EQ(gui.world.ui.texts(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(gui.world.server.refused_logins("actualizador"), 0);
    EXPECT_EQ(gui.world.server.refused_logins("ag0015"), 0);
}

}  // namespace
}  // namespace ordano
