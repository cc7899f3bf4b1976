// SPDX-License-Identifier: Apache-2.0
// The bulletin: frmPrincipal's ticker, shown in a strip above the main window's status bar.
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <filesystem>

#include "CatalogGui.h"
#include "app/BulletinFeed.h"
#include "app/NewsTicker.h"
#include "catalog/Bulletin.h"

namespace ordano {
namespace {
using test::CatalogGui;

constexpr const char* kExpected =
    "Información del 05/12/2019 a las 10:30 Horas - Aviso <b>importante</b> & más - ";

class BulletinStripTest : public ::testing::Test {
protected:
    BulletinStripTest() {
        gui.world.office->db().exec(
            "INSERT INTO INFORMACION (CODIGO, TEXTO) VALUES (7, 'Aviso <b>importante</b> & más')");
        gui.window->show();
    }
    void publish_bulletin() const {
        gui.world.publish(kBulletinFile, "05/12/2019|10:30|7|12|\r\n");
    }
    QToolBar& strip() const { return *gui.find<QToolBar>("tlbBoletines"); }
    NewsTicker& ticker() const { return *gui.find<NewsTicker>("nwstBoletines"); }
    BulletinFeed& frmPrincipal() const { return *gui.find<BulletinFeed>("frmPrincipal"); }
    // What a tick of tmrRevInfo does, through the timer's own signal.
    void tick() const {
        ASSERT_TRUE(QMetaObject::invokeMethod(&frmPrincipal().tmrRevInfo(), "timeout"));
    }

    CatalogGui gui;
};

TEST_F(BulletinStripTest, NothingShownBeforeTheFirstRefresh) {
    EXPECT_FALSE(strip().isVisible());
    EXPECT_FALSE(ticker().is_on());
    EXPECT_EQ(ticker().text(), "");
    // The bulletin window is a holder, never a window of its own.
    EXPECT_FALSE(frmPrincipal().isWidgetType());
}

TEST_F(BulletinStripTest, RefreshShowsTheBulletinAsPlainTextAboveTheStatusBar) {
    publish_bulletin();

    gui.window->refresh_bulletin();
    gui.settle();

    EXPECT_TRUE(strip().isVisible());
    EXPECT_EQ(gui.window->toolBarArea(&strip()), Qt::BottomToolBarArea);
    EXPECT_LT(strip().geometry().bottom(), gui.find<QStatusBar>("stbPrincipal")->geometry().top());
    EXPECT_EQ(ticker().text(), QString::fromUtf8(kExpected));
    EXPECT_TRUE(ticker().is_on());
    // Painted as it stands: no label that could read the text as markup.
    EXPECT_TRUE(ticker().findChildren<QLabel*>().isEmpty());
    EXPECT_TRUE(gui.world.ui.messages.empty());
    EXPECT_FALSE(gui.window->engine().bulletin_session().connected());
    EXPECT_EQ(gui.world.server.logins("actualizador"), 1);

    // It scrolls.
    const int before = ticker().scrolled();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticker().scrolled() > before; }, 1000));
}

TEST_F(BulletinStripTest, NoBulletinFileHidesTheStrip) {
    publish_bulletin();
    gui.window->refresh_bulletin();
    gui.settle();
    ASSERT_TRUE(strip().isVisible());
    std::filesystem::remove(gui.world.server.local_path("update/InfoKRO.txt"));

    gui.window->refresh_bulletin();
    gui.settle();

    EXPECT_FALSE(strip().isVisible());
    EXPECT_FALSE(ticker().is_on());
    EXPECT_FALSE(ticker().scrolling());
    EXPECT_EQ(ticker().text(), "");
    EXPECT_TRUE(gui.world.ui.messages.empty());
}

TEST_F(BulletinStripTest, TmrRevInfoIsDormantAndRefreshesEveryThirtyFirstTick) {
    QTimer& timer = frmPrincipal().tmrRevInfo();
    EXPECT_EQ(timer.objectName(), "tmrRevInfo");
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(timer.interval(), 60000);
    EXPECT_EQ(frmPrincipal().refresh_counter(), 0);
    publish_bulletin();

    for (int i = 0; i < 30; ++i) {
        tick();
    }
    EXPECT_EQ(frmPrincipal().refresh_counter(), 30);
    EXPECT_EQ(gui.world.server.logins("actualizador"), 0);
    EXPECT_FALSE(strip().isVisible());

    tick();
    gui.settle();
    EXPECT_EQ(frmPrincipal().refresh_counter(), 0);
    EXPECT_EQ(gui.world.server.logins("actualizador"), 1);
    EXPECT_TRUE(strip().isVisible());
    EXPECT_EQ(ticker().text(), QString::fromUtf8(kExpected));

    tick();
    EXPECT_EQ(frmPrincipal().refresh_counter(), 1);
    EXPECT_FALSE(timer.isActive());
}

TEST(NewsTicker, ScrollsOnlyWhileOnWithATextOnScreen) {
    NewsTicker ticker;
    ticker.resize(300, ticker.sizeHint().height());
    ticker.show();
    ticker.set_text(QStringLiteral("<i>Aviso</i>"));
    EXPECT_FALSE(ticker.scrolling()) << "off";

    ticker.set_on(true);
    EXPECT_TRUE(ticker.scrolling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticker.scrolled() >= 9; }, 1000));
    EXPECT_EQ(ticker.text(), "<i>Aviso</i>");

    // A new text starts again from the right edge.
    ticker.set_text(QStringLiteral("Otro aviso"));
    EXPECT_LT(ticker.scrolled(), 9);

    ticker.hide();
    EXPECT_FALSE(ticker.scrolling()) << "hidden";
    ticker.show();
    EXPECT_TRUE(ticker.scrolling());

    ticker.set_on(false);
    EXPECT_FALSE(ticker.scrolling());
    const int stopped_at = ticker.scrolled();
    QTest::qWait(100);
    EXPECT_EQ(ticker.scrolled(), stopped_at);
}

TEST(NewsTicker, WrapsAroundOnceTheTextHasLeft) {
    NewsTicker ticker;
    ticker.resize(40, ticker.sizeHint().height());
    ticker.show();
    ticker.set_text(QStringLiteral("x"));
    ticker.set_on(true);
    const int travel = 40 + ticker.fontMetrics().horizontalAdvance(QStringLiteral("x"));
    int highest = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            highest = std::max(highest, ticker.scrolled());
            return highest > 0 && ticker.scrolled() < highest;
        },
        3000));
    EXPECT_LE(highest, travel + 3);
}

TEST(NewsTicker, LaysOutOnlyTheStartOfAVeryLongBulletin) {
    NewsTicker ticker;
    ticker.set_text(QString(1000000, QLatin1Char('a')));
    EXPECT_EQ(ticker.text(), QString(4000, QLatin1Char('a')) + QStringLiteral("…"));
}

}  // namespace
}  // namespace ordano
