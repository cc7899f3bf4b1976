// SPDX-License-Identifier: Apache-2.0
#include "app/CatalogFeatures.h"

#include <QAction>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>

#include "app/BulletinFeed.h"
#include "app/NewsTicker.h"
#include "dialogs/CatalogUpdateWindow.h"
#include "engine/Engine.h"
#include "ui/WindowThread.h"

namespace ordano {
namespace {

constexpr int kCatalogCheckDelayMs = 2000;

}  // namespace

CatalogFeatures::CatalogFeatures(QMainWindow& window, QTimer& tmrCatError, Engine& engine,
                                 TimeText now)
    : window_(window), tmrCatError_(tmrCatError), engine_(engine), now_(std::move(now)) {
    frmPrincipal_ = new BulletinFeed(engine_, &window_);
    build_strip();
    // Told by the refresh, with the engine's turn, on its thread; shown on the window's.
    engine_.ticker().subscribe([this] {
        const Ticker& ticker = engine_.ticker();
        on_thread_of(strip_,
                     [this, text = QString::fromStdString(ticker.text()), on = ticker.on()] {
                         bulletin_ = text;
                         bulletin_on_ = on;
                         fetched_at_ = now_();
                         show_ticker();
                     });
    });

    tmrCatError_.setInterval(kCatalogCheckDelayMs);
    tmrCatError_.setSingleShot(true);
    QObject::connect(&tmrCatError_, &QTimer::timeout, &window_, [this] { tmrCatError_Timer(); });
}

void CatalogFeatures::start() {
    tmrCatError_.start();
}

void CatalogFeatures::build_strip() {
    strip_ = new QToolBar(&window_);
    strip_->setObjectName(QStringLiteral("tlbBoletines"));
    strip_->setWindowTitle(QStringLiteral("Boletín"));
    strip_->setMovable(false);
    strip_->setFloatable(false);
    // The strip follows the ticker, not the person: it is left out of the toolbars' menu.
    strip_->toggleViewAction()->setVisible(false);
    nwstBoletines_ = new NewsTicker(strip_);
    strip_->addWidget(nwstBoletines_);
    window_.addToolBar(Qt::BottomToolBarArea, strip_);
    strip_->hide();
}

void CatalogFeatures::show_ticker() {
    nwstBoletines_->set_text(
        outage_since_.isEmpty()
            ? bulletin_
            : QStringLiteral("Sin conexión con el servidor desde las %1; boletín recibido a las "
                             "%2: %3")
                  .arg(outage_since_, fetched_at_, bulletin_));
    nwstBoletines_->set_on(bulletin_on_);
    strip_->setVisible(bulletin_on_);
}

void CatalogFeatures::set_outage(bool outage) {
    if (outage == !outage_since_.isEmpty()) {
        return;
    }
    outage_since_ = outage ? now_() : QString();
    show_ticker();
}

void CatalogFeatures::show_update_window() {
    update_window().show_modeless();
}

CatalogUpdateWindow& CatalogFeatures::update_window() {
    if (frmActCatErr_ == nullptr) {
        frmActCatErr_ = new CatalogUpdateWindow(engine_, &window_);
    }
    return *frmActCatErr_;
}

// Runs once: the office learns of a newer catalogue without asking. Every failure of the
// check itself is silent. A run under way makes it wait for the run's end.
void CatalogFeatures::tmrCatError_Timer() {
    tmrCatError_.stop();
    engine_.check_catalog(update_window().hooks());
}

}  // namespace ordano
