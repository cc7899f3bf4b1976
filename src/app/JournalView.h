// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "dialogs/HistoryWindow.h"

class QLabel;
class QSystemTrayIcon;
class QTimer;

namespace ordano {

class Engine;
class FrontEnd;
class Office;
class OutcomeColumn;
class TransferPanel;
struct AnswerArrival;
struct MainWindowUi;

// The journal's side of the main window: at start-up the files a previous run left open go
// back on the lists; each row of both lists says where its file stands (OutcomeColumn);
// overdue answers are marked red on the receive list and counted in the status bar; an answer
// stored while the window is not active makes it ask for attention (and a tray notice names the
// file and what the answer said); a journal that cannot be written is said once, without stopping
// anything; and the history window.
class JournalView : public QObject {
    Q_OBJECT
public:
    // How the window asks for attention, replaceable in tests.
    struct Attention {
        std::function<void(QWidget& window)> alert;
        std::function<bool()> tray_available;
        std::function<void(const QString& title, const QString& text)> tray_message;
    };

    static constexpr int kOverdueCheckMs = 30000;

    JournalView(Office& office, FrontEnd& ui, Engine& engine, TransferPanel& transfer,
                const MainWindowUi& controls, QWidget& window,
                HistoryWindow::OpenAnswer open_answer);
    ~JournalView() override;

    // Puts back on the lists what the journal says a previous run left open.
    void start_up();
    // Re-marks the overdue receive rows and the status bar's count; returns the count (the
    // last one shown, when the engine's turn does not come at once).
    int check_overdue();
    void show_history();
    [[nodiscard]] HistoryWindow& history_window();
    [[nodiscard]] QLabel& overdue_label() { return *overdue_label_; }
    void set_attention(Attention attention) { attention_ = std::move(attention); }

private:
    void watch_receive_list();
    void show_overdue(int count);
    void answer_arrived(const AnswerArrival& arrival);
    void journal_trouble(const std::string& text);
    [[nodiscard]] Attention system_attention();

    Office& office_;
    FrontEnd& ui_;
    Engine& engine_;
    TransferPanel& transfer_;
    const MainWindowUi& controls_;
    QWidget& window_;
    HistoryWindow::OpenAnswer open_answer_;
    Attention attention_;
    OutcomeColumn* outcomes_ = nullptr;
    QLabel* overdue_label_ = nullptr;
    QTimer* overdue_timer_ = nullptr;
    int overdue_ = 0;
    QTimer* history_refresh_ = nullptr;
    std::unique_ptr<HistoryWindow> history_;
    QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace ordano
