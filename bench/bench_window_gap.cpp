// SPDX-License-Identifier: Apache-2.0
// The window's thread while the engine works (run with QT_QPA_PLATFORM=offscreen): the main
// window on its real UI port against the test FTP server, with a 1 ms timer on the window's
// thread whose longest gap between two of its ticks is the longest time the thread was held.
//
// 1. A sending run of 200 files (1 KB each), from Enviar to the run's end.
// 2. A look at a stalled server (connections accepted, commands never answered) for 5 s, then
//    Detener.
//
// Prints the longest gap, the 99th percentile and how many gaps passed 50 ms, per phase, and
// the longest single event the window's thread handled (the longest it was held at once).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/QtUi.h"
#include "base/DateTime.h"
#include "engine/Engine.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "office/Office.h"
#include "office/Session.h"

namespace {

using namespace ordano;
constexpr int kFiles = 200;

// The application, timing every event it hands out at the outermost level.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) {
            return QApplication::notify(receiver, event);
        }
        QElapsedTimer spent;
        spent.start();
        ++depth_;
        const bool handled = QApplication::notify(receiver, event);
        --depth_;
        longest_event_ms = std::max(longest_event_ms, spent.nsecsElapsed() / 1e6);
        return handled;
    }
    double longest_event_ms = 0;

private:
    int depth_ = 0;
};

// The gaps between ticks of a 1 ms timer on the window's thread.
class GapMeter {
public:
    explicit GapMeter(TimedApplication& app) : app_(&app) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            gaps_.push_back(clock_.nsecsElapsed() / 1e6);
            clock_.restart();
        });
    }
    void start() {
        app_->longest_event_ms = 0;
        gaps_.clear();
        clock_.start();
        timer_.start();
    }
    void stop_and_print(const char* phase, double seconds) {
        timer_.stop();
        std::sort(gaps_.begin(), gaps_.end());
        const double longest = gaps_.empty() ? 0 : gaps_.back();
        const double p99 = gaps_.empty() ? 0 : gaps_[gaps_.size() * 99 / 100];
        const auto over =
            std::count_if(gaps_.begin(), gaps_.end(), [](double g) { return g > 50; });
        std::printf(
            "%-44s %7.2f s %8zu ticks   longest %6.1f ms   p99 %5.1f ms   over 50 ms: %ld   "
            "longest event %5.1f ms\n",
            phase, seconds, gaps_.size(), longest, p99, static_cast<long>(over),
            app_->longest_event_ms);
    }

private:
    TimedApplication* app_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::vector<double> gaps_;
};

// Lets the window's thread run until `done` holds (or 120 s pass); the seconds it took.
template <typename Done>
double run_until(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return clock.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    TimedApplication app(argc, argv);
    test::Sandbox box;
    test::TestOffice files(box);
    test::FtpServer server;
    server.make_input_folders();
    files.serve_from(server.address());
    FixedClock clock(LocalDateTime{std::chrono::year{2026} / 2 / 2, 10, 30, 0});
    QtUi ui;
    auto office = Office::open(files.path_options(), clock);
    auto window =
        std::make_unique<MainWindow>(*office, ui, QLocale(QLocale::Spanish, QLocale::Mexico));
    window->show();
    Engine& engine = window->engine();

    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "M0015%03d.033", i);
        box.write_file(std::filesystem::path(office->session().folders.val_env) / name,
                       std::string(1024, 'M'));
        engine.with_turn(Request::EditLists,
                         [&engine, n = std::string(name)] { engine.desk().add_file_to_send(n); });
    }
    run_until([&] { return engine.idle(); });

    GapMeter meter(app);
    meter.start();
    engine.send();
    const double sent = run_until([&] { return !engine.state().runs(Job::Sending); });
    meter.stop_and_print("sending run, 200 files of 1 KB", sent);
    const bool all_sent = engine.desk().receive_list().rows().size() == kFiles;

    server.set_faults({.stall_replies = true});
    meter.start();
    engine.tick();
    QElapsedTimer stalled;
    stalled.start();
    run_until([&] { return stalled.elapsed() > 5000; });
    engine.stop_polling();
    engine.close_sending_session();
    const double looked = run_until([&] { return !engine.state().runs(Job::Tick); });
    meter.stop_and_print("a look at a stalled server (5 s), Detener", 5 + looked);
    server.clear_faults();
    window.reset();
    std::printf("files sent: %s\n", all_sent ? "all 200" : "NOT ALL");
    return all_sent ? 0 : 1;
}
