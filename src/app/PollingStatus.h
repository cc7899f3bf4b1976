// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

#include "app/ListMirror.h"
#include "engine/Gate.h"
#include "transfer/ReceiveList.h"

class QLabel;
class QStatusBar;

namespace ordano {

// The polling as the status bar tells it, kept current every second without a box: "esperando
// N respuestas — próxima revisión en N s" while answers are awaited, "revisando el servidor…"
// during a look, "sin conexión — reintento en N s" while the server cannot be reached (each
// awaiting row says so too, in its tooltips and in italics), and "reconectado" for a few
// seconds once it answers again. Nothing while the polling is off.
class PollingStatus : public QObject {
    Q_OBJECT
public:
    PollingStatus(QStatusBar& bar, const QTimer& polling_timer, const ListMirror<ReceiveRow>& rows,
                  QTreeWidget& receive_view);

    // The engine's state changed (the polling on or off, a look under way).
    void follow(const EngineState& state);
    // The server cannot be reached (true) or answers again (false).
    void set_outage(bool outage);

    [[nodiscard]] QLabel& label() { return *label_; }
    [[nodiscard]] QString text() const;

    static constexpr std::chrono::seconds kReconnectedShown{5};

private:
    void refresh();
    void mark_rows();
    [[nodiscard]] int seconds_to_next_look() const;
    [[nodiscard]] int awaited_answers() const;

    const QTimer& polling_timer_;
    const ListMirror<ReceiveRow>& rows_;
    QTreeWidget& receive_view_;
    QLabel* label_ = nullptr;
    QTimer clock_;
    bool polling_ = false;
    bool looking_ = false;
    bool outage_ = false;
    bool rows_marked_ = false;
    std::chrono::steady_clock::time_point reconnected_until_{};
};

}  // namespace ordano
