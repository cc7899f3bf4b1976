// SPDX-License-Identifier: Apache-2.0
#include "app/TransferPanel.h"

#include <QKeyEvent>
#include <QTimer>

#include "app/MainWindowUi.h"
#include "app/WindowTexts.h"
#include "dialogs/PaymentPasswordDialog.h"
#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "transfer/ListActions.h"
#include "ui/EngineCalls.h"
#include "ui/WindowThread.h"

namespace ordano {

namespace {

QTreeWidgetItem* selected_item(const QTreeWidget& list) {
    const QList<QTreeWidgetItem*> items = list.selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

bool is_delete_released(const QEvent* event) {
    if (event->type() != QEvent::KeyRelease) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Delete && !key->isAutoRepeat();
}

}  // namespace

TransferPanel::TransferPanel(Engine& engine, Office& office, FrontEnd& ui,
                             const MainWindowUi& controls, QWidget& window, QLocale locale)
    : engine_(engine),
      ui_(ui),
      controls_(controls),
      send_mirror_(
          std::make_unique<ListMirror<SendRow>>(engine.desk().send_list(), *controls.lvwPreVal[0])),
      receive_mirror_(std::make_unique<ListMirror<ReceiveRow>>(engine.desk().receive_list(),
                                                               *controls.lvwPreVal[1])),
      frmPassword_(new PaymentPasswordDialog(office.session(), ui, &window)),
      progress_(*controls.stbPrincipal, std::move(locale)),
      polling_status_(new PollingStatus(*controls.stbPrincipal, *controls.tmrPreVal,
                                        *receive_mirror_, *controls.lvwPreVal[1])) {
    connect_controls();
    // A run marks each row it has sent, and takes those rows off when it ends: until then the
    // row shows its name, no longer a file to send ("esperando" its answers).
    send_mirror_->shown_as([](const SendRow&, SendRow& after) {
        if (after.sent) {
            after.status.clear();
        }
    });
    engine_.desk().poller().on_outage([this](const std::optional<NumberedError>& failure) {
        on_thread_of(this,
                     [this, outage = failure.has_value()] { polling_status_->set_outage(outage); });
    });
    // Told on the thread that changed it; followed on the window's, as it is then.
    engine_.on_state([this](const EngineState&) {
        on_thread_of(this, [this] { follow_engine(engine_.state()); });
    });
    shown_.polling = !engine_.state().polling;  // differs: followed in full below
    follow_engine(engine_.state());
    // Only a front end that shows windows takes them; others answer for themselves.
    ui_.set_payment_password_prompt(
        [this](FrontEnd::PasswordAnswer answer) { frmPassword_->ask(std::move(answer)); });
    ui_.set_progress_display([this](const Progress& report) { progress_.show(report); });
}

TransferPanel::~TransferPanel() {
    ui_.set_payment_password_prompt(nullptr);
    ui_.set_progress_display(nullptr);
}

std::string TransferPanel::under_way() const {
    const EngineState state = engine_.state();
    if (state.runs(Job::Sending)) {
        const QString moving = progress_.text();
        return moving.isEmpty() ? std::string("Hay un envío en curso")
                                : "Hay un envío en curso (" + moving.toStdString() + ")";
    }
    if (state.runs(Job::Reception) || state.runs(Job::Tick)) {
        return "Se están recibiendo respuestas del servidor";
    }
    if (state.runs(Job::CatalogUpdate)) {
        return "Se está actualizando el catálogo";
    }
    return {};
}

TransferDesk& TransferPanel::desk() {
    return engine_.desk();
}

void TransferPanel::connect_controls() {
    connect(controls_.tmrPreVal, &QTimer::timeout, this, &TransferPanel::tmrPreVal_Timer);
    // A double-click, or Enter on the chosen row.
    connect(controls_.lvwArchivos, &QTreeWidget::itemActivated, this,
            &TransferPanel::lvwArchivos_DblClick);
    connect(controls_.cmdPreVal, &QPushButton::clicked, this, &TransferPanel::cmdPreVal_Click);
    connect(controls_.cmdPreElm, &QPushButton::clicked, this, &TransferPanel::cmdPreElm_Click);
    connect(controls_.cmdLimpia, &QPushButton::clicked, this, &TransferPanel::cmdLimpia_Click);
    // The Delete key removes from the send list only.
    controls_.lvwPreVal[0]->installEventFilter(this);
}

// The toolbar as the gate says, the timer as the polling is, and what a job leaves behind.
void TransferPanel::follow_engine(const EngineState& state) {
    controls_.toolbar_buttons.follow(state);
    QTimer* timer = controls_.tmrPreVal;
    // A new interval on a running timer restarts it with that interval.
    if (timer->interval() != state.polling_interval_ms) {
        timer->setInterval(state.polling_interval_ms);
    }
    if (state.polling && !timer->isActive()) {
        timer->start();
    } else if (!state.polling && timer->isActive()) {
        timer->stop();
    }
    polling_status_->follow(state);
    const bool run_ended = shown_.runs(Job::Sending) && !state.runs(Job::Sending);
    const bool tick_ended = shown_.runs(Job::Tick) && !state.runs(Job::Tick);
    // Nothing moves once no job runs (the bulletin's refresh may end after the run).
    if (run_ended || state.running == 0) {
        progress_.clear();
    }
    if (run_ended || tick_ended || (shown_.runs(Job::Reception) && !state.in_run())) {
        show_current_row();
    }
    shown_ = state;
}

bool TransferPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.lvwPreVal[0] && is_delete_released(event)) {
        cmdPreVal_Click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TransferPanel::confirm_stop(std::function<void()> stop) {
    if (engine_.state().polling) {
        ask_then(stop_polling_question(receive_mirror_->rows().size()), std::move(stop));
    }
}

void TransferPanel::ask_then(const std::string& question, std::function<void()> then) {
    ui_.ask({question, {}, MessageIcon::Question},
            [this, then = std::move(then)](MessageAnswer answer) {
                if (answer == MessageAnswer::Yes) {
                    on_thread_of(this, then);
                }
            });
}

void TransferPanel::tmrPreVal_Timer() {
    engine_.tick();
}

void TransferPanel::lvwArchivos_DblClick(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    engine_.with_turn(Request::EditLists, [this, name = item->text(0).toStdString()] {
        engine_.desk().add_file_to_send(name);
    });
    show_current_row();
}

void TransferPanel::cmdPreVal_Click() {
    const RowId id = row_id(selected_item(*controls_.lvwPreVal[0]));
    const SendRow* row = send_mirror_->find(id);
    const auto question = row != nullptr ? send_removal_question(*row) : std::nullopt;
    if (question) {
        ask_then(*question, [this, id] {
            engine_.with_turn(Request::EditLists,
                              [this, id] { engine_.desk().remove_from_send(id); });
        });
    }
}

void TransferPanel::cmdPreElm_Click() {
    const RowId id = row_id(selected_item(*controls_.lvwPreVal[1]));
    if (const ReceiveRow* row = receive_mirror_->find(id)) {
        ask_then(receive_removal_question(*row), [this, id] {
            engine_.with_turn(Request::EditLists,
                              [this, id] { engine_.desk().remove_from_receive(id); });
        });
    }
}

void TransferPanel::cmdLimpia_Click() {
    if (send_mirror_->rows().empty()) {
        return;
    }
    ask_then(std::string(kClearSendListQuestion), [this] {
        with_turn_then(
            engine_, this, Request::EditLists, [this] { return engine_.desk().clear_send_list(); },
            [this](bool emptied) {
                if (emptied) {
                    controls_.rtbPreVal->clear();
                }
            });
    });
}

void TransferPanel::show_current_row() {
    with_turn_then(
        engine_, this, Request::Review,
        [this] { return engine_.desk().send_list().current_row().value_or(0); },
        [this](RowId id) {
            const auto index = send_mirror_->index_of(id);
            if (!index) {
                return;
            }
            // In view, without moving the selection the list buttons act on.
            controls_.lvwPreVal[0]->scrollToItem(
                controls_.lvwPreVal[0]->topLevelItem(static_cast<int>(*index)));
        });
}

}  // namespace ordano
