// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "QtPrinting.h"
#include "app/MainWindow.h"
#include "base/DateTime.h"
#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Office.h"

namespace ordano::test {

// Waits (up to 20 s, failing the test past it) until the window's engine has nothing left to do
// and the window has taken in everything the engine told it.
inline void settle_window(MainWindow& window) {
    const bool idle = QTest::qWaitFor([&] { return window.engine().idle(); }, 20000);
    EXPECT_TRUE(idle) << "the engine did not settle";
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Work on the desk done as the window does it, holding the engine's turn; returns once it is done.
inline void with_turn(MainWindow& window, const std::function<void()>& work) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    window.engine().with_turn(Request::EditLists, [work, done] {
        work();
        done->store(true);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done->load(); }, 20000)) << "the turn never came";
}

// A demo office on disk, brought up on a pinned day with a scripted UI, and its main window.
struct GuiOffice {
    explicit GuiOffice(OfficeSetup setup = TestOffice::default_setup(),
                       LocalDateTime at = {std::chrono::year_month_day{std::chrono::year{2026},
                                                                       std::chrono::month{2},
                                                                       std::chrono::day{2}},
                                           10, 30, 0})
        : files(box, std::move(setup)), clock(at) {}

    // Runs SQL on the office's database before it is opened.
    void prepare(const std::string& sql) const {
        SQLite::Database(files.db_file.string(), SQLite::OPEN_READWRITE).exec(sql);
    }

    // Opens the office and its main window, which speaks through `port` (the scripted UI,
    // answering at once, unless told otherwise).
    MainWindow& open() { return open(front); }
    MainWindow& open(FrontEnd& port) {
        office = Office::open(files.path_options(), clock);
        window = std::make_unique<MainWindow>(
            *office, port, QLocale(QLocale::Spanish, QLocale::Mexico), [this] { ++quits; });
        return *window;
    }

    // Waits until the engine has nothing left to do and the window has shown what it did.
    void settle() const { settle_window(*window); }

    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }

    Sandbox box;
    TestOffice files;
    FixedClock clock;
    ScriptedUi ui;
    ImmediateFrontEnd front{ui};
    std::unique_ptr<Office> office;
    std::unique_ptr<MainWindow> window;
    int quits = 0;
};

// What the close box does: a close event from the window system.
inline void press_close_box(QWidget& window) {
    QCloseEvent close_box;
    QSpontaneKeyEvent::setSpontaneous(&close_box);
    QCoreApplication::sendEvent(window.windowHandle(), &close_box);
}

// Runs `action` once a modal window is up (a dialog or box opened by the code under test), so
// that no test leaves a real modal loop waiting. Gives up, failing the test, after 5 s.
inline void when_modal(std::function<void(QWidget&)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    auto waited = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, waited, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && (*waited += poll->interval()) < 5000) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (modal == nullptr) {
            ADD_FAILURE() << "no modal window came up";
            return;
        }
        action(*modal);
    });
    poll->start();
}

// The focus's object names met pressing Tab from `first` until it comes back.
inline QStringList tab_stops(QWidget& first) {
    first.setFocus(Qt::TabFocusReason);
    QStringList names;
    QWidget* at = &first;
    do {
        names << at->objectName();
        QTest::keyClick(at, Qt::Key_Tab);
        at = first.window()->focusWidget();
    } while (at != nullptr && at != &first && names.size() < 50);
    return names;
}

}  // namespace ordano::test
