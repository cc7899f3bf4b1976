// SPDX-License-Identifier: Apache-2.0
// The main window stays on its screen with a send under way: the status bar's texts shorten
// instead of widening it. Run as well on an 800 x 600 screen and on a 1600 x 1000 screen at
// twice the size (tests/gui/CMakeLists.txt).
#include <gtest/gtest.h>
#include <QHeaderView>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include <string>

#include "TransferWindow.h"
#include "ui/FittingLabel.h"

namespace ordano {
namespace {

class ScreenWidth : public ::testing::Test {
protected:
    ScreenWidth() { office.open(); }

    // A 4 MB file going up at 100 KB/s (more than the connection's buffers take at once): the
    // status bar shows its name, place, bytes and rate until the test lets it go.
    void start_a_long_send() {
        office.write_send_file("M0015001.033", std::string(4 * 1024 * 1024, 'M'));
        office.window->engine().with_turn(Request::EditLists, [this] {
            office.window->engine().desk().add_file_to_send("M0015001.033");
        });
        test::FtpFaults slow;
        slow.throttle_bytes_per_second = 100 * 1024;
        office.server.set_faults(slow);
        office.action("enviar").trigger();
        auto* progress = office.find<QLabel>(QStringLiteral("lblProgreso"));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return progress->isVisible() && progress->text().contains(QStringLiteral("/s"));
            },
            15000))
            << progress->text().toStdString();
    }
    // The room the window's screen gives a window, less a frame as desktops draw it.
    QSize room() const {
        return office.window->screen()->availableGeometry().size() - QSize(16, 40);
    }
    FittingLabel& date_panel() const {
        return *office.find<FittingLabel>(QStringLiteral("stbPrincipal.Panels(1)"));
    }
    // Salir answered Yes: the upload is cancelled at once.
    void stop_the_send() {
        office.robot.answer(QMessageBox::Yes);
        office.action("salir").trigger();
        office.settle();
    }

    test::TransferWindow office;
};

TEST_F(ScreenWidth, ASendUnderWayNeverWidensTheWindowPastItsScreen) {
    MainWindow& window = *office.window;
    const int opened_at = window.width();
    EXPECT_LE(opened_at, room().width());
    start_a_long_send();
    QCoreApplication::processEvents();
    EXPECT_LE(window.minimumSizeHint().width(), room().width());
    EXPECT_LE(window.minimumWidth(), room().width());
    EXPECT_EQ(window.width(), opened_at);

    // The receive list shows every one of its columns without scrolling sideways.
    const QTreeWidget& receive = office.list(1);
    const QHeaderView& header = *receive.header();
    for (int column = 0; column < header.count(); ++column) {
        if (!header.isSectionHidden(column)) {
            EXPECT_LE(header.sectionViewportPosition(column) + header.sectionSize(column),
                      receive.viewport()->width())
                << receive.headerItem()->text(column).toStdString();
        }
    }
    EXPECT_GE(header.sectionSize(0), 60);  // and room for the start of a name
    stop_the_send();
}

// As narrow as the window goes: every text of the status bar fits the width it has, the date
// said short, the transfer's text cut with "…" and whole in its tooltip.
TEST_F(ScreenWidth, AtItsNarrowestTheStatusBarsTextsShortenToFit) {
    MainWindow& window = *office.window;
    start_a_long_send();
    window.resize(window.minimumSizeHint().width(), window.height());
    QCoreApplication::processEvents();
    EXPECT_LE(window.width(), room().width());

    const auto* bar = office.find<QStatusBar>(QStringLiteral("stbPrincipal"));
    int shown = 0;
    for (const FittingLabel* label : bar->findChildren<FittingLabel*>()) {
        if (!label->isVisible()) {
            continue;
        }
        ++shown;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->shown_text()),
                  label->contentsRect().width())
            << label->objectName().toStdString() << ": " << label->shown_text().toStdString();
    }
    EXPECT_GE(shown, 4);  // the three panels and the transfer
    EXPECT_EQ(date_panel().text(), "lunes, 2 de febrero de 2026");
    EXPECT_EQ(date_panel().shown_text(), "02/02/26");
    const auto* progress = office.find<FittingLabel>(QStringLiteral("lblProgreso"));
    EXPECT_TRUE(progress->shown_text().endsWith(QStringLiteral("…")))
        << progress->shown_text().toStdString();
    EXPECT_TRUE(
        progress->text().startsWith(QStringLiteral("Enviando M0015001.033 (archivo 1 de 1)")));
    stop_the_send();
}

}  // namespace
}  // namespace ordano
