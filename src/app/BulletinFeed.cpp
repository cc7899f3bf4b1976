// SPDX-License-Identifier: Apache-2.0
#include "app/BulletinFeed.h"

#include "catalog/Bulletin.h"

namespace ordano {
namespace {

constexpr int kRefreshTickMs = 60000;
constexpr std::int16_t kTicksBetweenRefreshes = 30;

}  // namespace

BulletinFeed::BulletinFeed(Office& office, FtpSession& eftpPrincipal, UiPort& ui, QObject* parent)
    : QObject(parent), office_(office), eftpPrincipal_(eftpPrincipal), ui_(ui) {
    setObjectName(QStringLiteral("frmPrincipal"));
    tmrRevInfo_ = new QTimer(this);
    tmrRevInfo_->setObjectName(QStringLiteral("tmrRevInfo"));
    tmrRevInfo_->setInterval(kRefreshTickMs);
    connect(tmrRevInfo_, &QTimer::timeout, this, &BulletinFeed::tmrRevInfo_Timer);
}

void BulletinFeed::Actualiza_Boletin(bool Boton) {
    ordano::Actualiza_Boletin(Boton, office_, eftpPrincipal_, ui_, ticker_);
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
