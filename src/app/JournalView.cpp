// SPDX-License-Identifier: Apache-2.0
#include "app/JournalView.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeWidget>

#include "app/MainWindowUi.h"
#include "app/OutcomeColumn.h"
#include "app/TransferPanel.h"
#include "engine/Engine.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Office.h"
#include "ui/EngineCalls.h"
#include "ui/FittingLabel.h"
#include "ui/Images.h"
#include "ui/MarkColors.h"
#include "ui/WindowThread.h"

namespace ordano {
namespace {

constexpr int kHistoryRefreshMs = 200;

QString verdict_text(AnswerVerdict verdict) {
    switch (verdict) {
        case AnswerVerdict::Prevalidated:
            return QStringLiteral("prevalidado");
        case AnswerVerdict::Accepted:
            return QStringLiteral("aceptado");
        case AnswerVerdict::Rejected:
            return QStringLiteral("rechazado");
        case AnswerVerdict::Unreadable:
            break;
    }
    return QStringLiteral("no se pudo leer la respuesta");
}

QString overdue_text(int count) {
    return count == 1 ? QStringLiteral("1 respuesta atrasada")
                      : QStringLiteral("%1 respuestas atrasadas").arg(count);
}

}  // namespace

JournalView::JournalView(Office& office, FrontEnd& ui, Engine& engine, TransferPanel& transfer,
                         const MainWindowUi& controls, QWidget& window,
                         HistoryWindow::OpenAnswer open_answer)
    : QObject(&window),
      office_(office),
      ui_(ui),
      engine_(engine),
      transfer_(transfer),
      controls_(controls),
      window_(window),
      open_answer_(std::move(open_answer)),
      attention_(system_attention()) {
    overdue_label_ = new FittingLabel(controls_.stbPrincipal);
    overdue_label_->setObjectName(QStringLiteral("stbPrincipal.Atrasadas"));
    QFont bold = overdue_label_->font();
    bold.setBold(true);
    overdue_label_->setFont(bold);
    overdue_label_->hide();
    controls_.stbPrincipal->addWidget(overdue_label_);

    overdue_timer_ = new QTimer(this);
    overdue_timer_->setObjectName(QStringLiteral("tmrAtrasadas"));
    overdue_timer_->setInterval(kOverdueCheckMs);
    connect(overdue_timer_, &QTimer::timeout, this, &JournalView::check_overdue);
    // After every polling tick too: a tick may complete rows or leave them waiting.
    connect(controls_.tmrPreVal, &QTimer::timeout, this, &JournalView::check_overdue);

    history_refresh_ = new QTimer(this);
    history_refresh_->setSingleShot(true);
    history_refresh_->setInterval(kHistoryRefreshMs);
    connect(history_refresh_, &QTimer::timeout, this, [this] {
        if (history_ && history_->isVisible()) {
            history_->refresh();
        }
    });

    watch_receive_list();
    outcomes_ =
        new OutcomeColumn(transfer_.send_rows(), transfer_.receive_rows(), *controls_.lvwPreVal[0],
                          *controls_.lvwPreVal[1], engine_.desk().journal(), this);
    // Told with the engine's turn on the thread that stored the answer; said on the window's.
    engine_.desk().journal().on_answer([this](const AnswerArrival& arrival) {
        on_thread_of(this, [this, arrival] { answer_arrived(arrival); });
    });
    engine_.desk().journal().on_change(
        [this] { on_thread_of(this, [this] { history_refresh_->start(); }); });
    // Told on the journal's writing thread; said on the window's.
    office_.journal().on_trouble([this](const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, text] { journal_trouble(text); }, Qt::QueuedConnection);
    });
}

JournalView::~JournalView() {
    office_.journal().on_trouble(nullptr);
}

void JournalView::start_up() {
    engine_.with_turn(Request::EditLists, [this] { engine_.desk().restore_from_journal(true); });
    // The lists are shown as restored (the engine is idle at start-up: done on this thread).
    office_.journal().flush();
    outcomes_->read_failures(JournalReader(office_.journal().database(), office_.clock().now(),
                                           overdue_minutes(office_.params())));
    check_overdue();
    overdue_timer_->start();
}

void JournalView::watch_receive_list() {
    // The row's texts are the list mirror's; the overdue mark is ours.
    transfer_.receive_rows().on_changed([this](std::size_t index, const ReceiveRow& row) {
        QTreeWidgetItem* item = controls_.lvwPreVal[1]->topLevelItem(static_cast<int>(index));
        if (item == nullptr) {
            return;
        }
        // The tooltips say it too (the list's own, see ListTips).
        const QBrush brush = row.overdue
                                 ? QBrush(mark_color(Mark::Late, controls_.lvwPreVal[1]->palette()))
                                 : QBrush();
        for (int column = 0; column < item->columnCount(); ++column) {
            item->setForeground(column, brush);
        }
    });
}

int JournalView::check_overdue() {
    with_turn_then(
        engine_, this, Request::EditLists, [this] { return engine_.desk().mark_overdue(); },
        [this](int count) { show_overdue(count); });
    return overdue_;
}

void JournalView::show_overdue(int count) {
    overdue_ = count;
    QPalette late = overdue_label_->palette();
    late.setColor(QPalette::WindowText, mark_color(Mark::Late, window_.palette()));
    overdue_label_->setPalette(late);
    overdue_label_->setText(overdue_text(count));
    overdue_label_->setVisible(count > 0);
}

void JournalView::answer_arrived(const AnswerArrival& arrival) {
    if (window_.isActiveWindow()) {
        return;
    }
    attention_.alert(window_);
    if (attention_.tray_available()) {
        attention_.tray_message(QStringLiteral("Respuesta recibida"),
                                QString::fromStdString(arrival.name) + QStringLiteral(": ") +
                                    verdict_text(arrival.verdict));
    }
}

JournalView::Attention JournalView::system_attention() {
    Attention attention;
    attention.alert = [](QWidget& window) { QApplication::alert(&window); };
    attention.tray_available = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    attention.tray_message = [this](const QString& title, const QString& text) {
        if (tray_ == nullptr) {
            tray_ = new QSystemTrayIcon(images::program_icon(), this);
            tray_->setToolTip(window_.windowTitle());
            tray_->show();
        }
        tray_->showMessage(title, text, QSystemTrayIcon::Information);
    };
    return attention;
}

void JournalView::journal_trouble(const std::string& text) {
    // Said without waiting for an answer: the transfer under way goes on.
    auto* box = new QMessageBox(
        QMessageBox::Warning,
        QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size())),
        QString::fromStdString(text), QMessageBox::Ok, &window_);
    box->setObjectName(QStringLiteral("frmBitacora"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

HistoryWindow& JournalView::history_window() {
    if (history_ == nullptr) {
        // A window of its own, not one kept above the main window: the report it opens is
        // read there, in front.
        history_ = std::make_unique<HistoryWindow>(office_, ui_, open_answer_);
        history_->setLocale(window_.locale());
    }
    return *history_;
}

void JournalView::show_history() {
    history_window().show_modeless();
}

}  // namespace ordano
