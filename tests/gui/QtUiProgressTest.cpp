// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "app/QtUi.h"

namespace ordano {
namespace {

// Progress comes from the thread that runs the transfer; the window shows it on its own thread.
TEST(QtUiProgress, ReportsFromTheTransferThreadAreShownOnTheWindowThreadInOrder) {
    QtUi ui;
    QObject window;
    std::vector<Progress> shown;
    std::vector<bool> on_window_thread;
    ui.set_progress_display(&window, [&](const Progress& report) {
        shown.push_back(report);
        on_window_thread.push_back(QThread::currentThread() == window.thread());
    });
    std::thread transfer([&] {
        for (int done = 1; done <= 500; ++done) {
            ui.progress(
                {.what = "M0015001.033", .done = done, .total = 500, .item = 2, .items = 3});
        }
    });
    transfer.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty() && shown.back().done == 500; }, 2000));
    // Reports that came faster than the window took them were merged, never reordered.
    EXPECT_LE(shown.size(), 500U);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_LT(shown[i - 1].done, shown[i].done);
    }
    EXPECT_EQ(shown.back().what, "M0015001.033");
    EXPECT_EQ(shown.back().item, 2);
    EXPECT_EQ(shown.back().items, 3);
    EXPECT_EQ(std::count(on_window_thread.begin(), on_window_thread.end(), false), 0);
}

TEST(QtUiProgress, NothingIsShownOnceTheDisplayIsRemovedOrItsWindowIsGone) {
    QtUi ui;
    int shown = 0;
    auto window = std::make_unique<QObject>();
    ui.set_progress_display(window.get(), [&](const Progress&) { ++shown; });
    ui.progress({.what = "a"});
    window.reset();  // the posted report goes with it
    ui.progress({.what = "b"});
    QTest::qWait(50);
    EXPECT_EQ(shown, 0);

    QObject other;
    ui.set_progress_display(&other, [&](const Progress&) { ++shown; });
    ui.set_progress_display(nullptr, nullptr);
    ui.progress({.what = "c"});
    QTest::qWait(50);
    EXPECT_EQ(shown, 0);
}

// The transfer panel lends its display through the front end it is given; taken back, it is
// not used.
TEST(QtUiProgress, AWindowLendsItsDisplayThroughTheFrontEnd) {
    QtUi qt;
    FrontEnd& port = qt;
    std::vector<bool> on_window_thread;
    port.set_progress_display([&](const Progress&) {
        on_window_thread.push_back(QThread::currentThread() == qApp->thread());
    });
    std::thread([&] { port.progress({.what = "a"}); }).join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !on_window_thread.empty(); }, 2000));
    EXPECT_EQ(on_window_thread, std::vector<bool>{true});

    port.set_progress_display(nullptr);
    port.progress({.what = "b"});
    QTest::qWait(50);
    EXPECT_EQ(on_window_thread.size(), 1U);
}

}  // namespace
}  // namespace ordano
