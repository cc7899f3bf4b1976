// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

#include "catalog/Ticker.h"

namespace ordano {

class Engine;

// frmPrincipal: the server's bulletin as the program holds it, its ticker and its refresh. It
// is no window (the name is inherited); the main window shows the ticker in a strip of its
// own. Its periodic refresh, tmrRevInfo, is created disabled and stays so: the bulletin is
// refreshed by each sending run. The refresh is a job of the engine, on a session of its own.
class BulletinFeed : public QObject {
    Q_OBJECT
public:
    explicit BulletinFeed(Engine& engine, QObject* parent = nullptr);

    // Actualiza_Boletin on the engine. Boton: a person asked for it (failures are reported).
    void Actualiza_Boletin(bool Boton);

    // The engine's ticker, which the bulletin's refresh sets (with the engine's turn).
    [[nodiscard]] Ticker& ticker();
    [[nodiscard]] QTimer& tmrRevInfo() { return *tmrRevInfo_; }
    [[nodiscard]] std::int16_t refresh_counter() const { return refresh_counter_; }

private:
    // A tick that finds the counter at 30 or more resets it and refreshes; any other tick
    // counts one: a refresh every 31 ticks.
    void tmrRevInfo_Timer();

    Engine& engine_;
    QTimer* tmrRevInfo_ = nullptr;
    std::int16_t refresh_counter_ = 0;
};

}  // namespace ordano
