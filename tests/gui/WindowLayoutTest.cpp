// SPDX-License-Identifier: Apache-2.0
// The main window's layout is remembered per workstation and comes back at the next start.
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

#include "GuiOffice.h"
#include "app/JournalView.h"
#include "app/WindowLayout.h"
#include "dialogs/CatalogUpdateWindow.h"
#include "dialogs/ParametersDialog.h"

namespace ordano {
namespace {
using test::GuiOffice;

class WindowLayoutTest : public ::testing::Test {
protected:
    // The window of a new start of the program.
    MainWindow& reopen() {
        gui.window.reset();
        gui.office.reset();
        return gui.open();
    }
    QSplitter& splitter(const char* name) const { return *gui.find<QSplitter>(name); }
    QTreeWidget& list(const char* name) const { return *gui.find<QTreeWidget>(name); }

    GuiOffice gui;
    QSettings settings{QString::fromStdString((gui.box.path() / "layout.ini").string()),
                       QSettings::IniFormat};
};

TEST_F(WindowLayoutTest, PlaceSplittersAndColumnsComeBack) {
    MainWindow& first = gui.open();
    first.setGeometry(10, 20, 780, 540);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    const QList<int> shown = splitter("splPrincipal").sizes();
    splitter("splPrincipal").setSizes({345, shown[0] + shown[1] - 345});
    splitter("splRevision").setSizes({300, 440});
    list("lvwPreVal(1)").setColumnWidth(3, 130);
    const QList<int> principal = splitter("splPrincipal").sizes();
    const QList<int> revision = splitter("splRevision").sizes();
    save_layout(first, settings);

    MainWindow& next = reopen();
    EXPECT_NE(next.geometry(), QRect(10, 20, 780, 540));
    restore_layout(next, settings);
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_EQ(next.geometry(), QRect(10, 20, 780, 540));
    EXPECT_EQ(splitter("splPrincipal").sizes(), principal);
    EXPECT_EQ(splitter("splRevision").sizes(), revision);
    EXPECT_EQ(principal.front(), 345);
    EXPECT_EQ(list("lvwPreVal(1)").columnWidth(3), 130);
}

TEST_F(WindowLayoutTest, APlaceNoScreenShowsIsNotRestored) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    settings.setValue("frmPreVal/geometry", QRect(screen.right() + 2000, 0, 600, 400));
    MainWindow& window = gui.open();
    restore_layout(window, settings);
    EXPECT_TRUE(screen.intersects(window.geometry()));
    EXPECT_EQ(window.size(), QSize(600, 400));
}

// A size saved on a larger screen, or at another scale, opens no larger than this screen,
// whether the saved place is on it or on no screen at all.
TEST_F(WindowLayoutTest, ARestoredSizeNeverExceedsTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize room = screen.size() - QSize(16, 40);
    for (const QRect saved : {QRect(screen.left() + 40, screen.top() + 30, 2712, 1600),
                              QRect(screen.right() + 2000, 0, 2712, 1600)}) {
        settings.setValue("frmPreVal/geometry", saved);
        MainWindow& window = reopen();
        restore_layout(window, settings);
        EXPECT_LE(window.width(), room.width());
        EXPECT_LE(window.height(), room.height());
        EXPECT_TRUE(screen.contains(window.geometry().topLeft()));
        EXPECT_LE(window.geometry().right(), screen.right());
    }
}

// A 1600 x 1000 screen at twice the size (QT_SCALE_FACTOR=2) gives the windows 800 x 500:
// each one can be made that small, and opens no larger than its screen.
TEST_F(WindowLayoutTest, EveryWindowFitsASmallOrScaledScreen) {
    MainWindow& window = gui.open();
    const QSize room(800 - 16, 500 - 40);  // less the title bar and frame
    std::vector<QWidget*> windows = {&window, &window.parameters_dialog(),
                                     &window.journal_view().history_window(),
                                     &window.catalog_window()};
    for (QWidget* shown : windows) {
        const QSize smallest = shown->minimumSizeHint().expandedTo(shown->minimumSize());
        EXPECT_LE(smallest.width(), room.width()) << shown->objectName().toStdString();
        EXPECT_LE(smallest.height(), room.height()) << shown->objectName().toStdString();
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        EXPECT_LE(shown->width(), screen.width()) << shown->objectName().toStdString();
        EXPECT_LE(shown->height(), screen.height()) << shown->objectName().toStdString();
    }
}

}  // namespace
}  // namespace ordano
