// SPDX-License-Identifier: Apache-2.0
#include "app/BulletinFeed.h"

#include "engine/Engine.h"

namespace ordano {
namespace {

constexpr int kRefreshTickMs = 60000;
constexpr std::int16_t kTicksBetweenRefreshes = 30;

}  // namespace

BulletinFeed::BulletinFeed(Engine& engine, QObject* parent) : QObject(parent), engine_(engine) {
    setObjectName(QStringLiteral("frmPrincipal"));
    tmrRevInfo_ = new QTimer(this);
    tmrRevInfo_->setObjectName(QStringLiteral("tmrRevInfo"));
    tmrRevInfo_->setInterval(kRefreshTickMs);
    connect(tmrRevInfo_, &QTimer::timeout, this, &BulletinFeed::tmrRevInfo_Timer);
}

void BulletinFeed::Actualiza_Boletin(bool Boton) {
    engine_.refresh_bulletin(Boton);
}

Ticker& BulletinFeed::ticker() {
    return engine_.ticker();
}

void BulletinFeed::tmrRevInfo_Timer() {
    if (refresh_counter_ >= kTicksBetweenRefreshes) {
        refresh_counter_ = 0;
        Actualiza_Boletin(false);
        return;
    }
    ++refresh_counter_;
}

}  // namespace ordano
