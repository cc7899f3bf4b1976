// SPDX-License-Identifier: Apache-2.0
// Opening the history window on 100,000 journal rows: from its construction to the first paint
// of the table, and to the event loop going idle with everything painted.
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "JournalSeed.h"
#include "app/QtUi.h"
#include "dialogs/HistoryModel.h"
#include "dialogs/HistoryWindow.h"
#include "office/Office.h"

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

// Notes the time of the first paint event that reaches the table's viewport.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && at_ms < 0) {
            at_ms = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
        }
        return QObject::eventFilter(watched, event);
    }
    double at_ms = -1;

private:
    const QElapsedTimer& clock_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / "ordano-bench-history";
    const auto today = std::chrono::year{2026} / 2 / 2;
    const auto db = ordano::bench::seed_journal(folder, kRows, 500, today);
    std::ofstream(folder / "Ordano.ini") << "RutaBD: " << folder.string() << "\r\n";
    ordano::PathOptions paths;
    paths.ini = folder / "Ordano.ini";
    paths.root = folder / "root";
    ordano::FixedClock clock({today, 15, 0, 0});
    const auto office = ordano::Office::open(paths, clock);
    ordano::QtUi ui;
    std::printf("journal rows: %d\n", kRows);

    for (int run = 1; run <= kRuns; ++run) {
        QElapsedTimer elapsed;
        elapsed.start();
        ordano::HistoryWindow window(*office, ui, [](const std::string&) {});
        auto* table = window.findChild<QTableView*>(QStringLiteral("lvwHistorial"));
        FirstPaint paint(elapsed);
        table->viewport()->installEventFilter(&paint);
        window.show_modeless();
        double summary_ms = -1;
        QObject::connect(&window.model(), &ordano::HistoryModel::summary_changed,
                         [&] { summary_ms = static_cast<double>(elapsed.nsecsElapsed()) / 1e6; });
        while (paint.at_ms < 0 || summary_ms < 0) {
            QApplication::processEvents();
        }
        std::printf("run %d: %d rows shown; first paint %.1f ms, summary line %.1f ms\n", run,
                    window.model().rowCount(), paint.at_ms, summary_ms);
    }
    std::filesystem::remove_all(folder);
}
