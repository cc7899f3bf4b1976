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

CatalogFeatures::CatalogFeatures(QMainWindow& window, QTimer& tmrCatError, Engine& engine)
    : window_(window), tmrCatError_(tmrCatError), engine_(engine) {
    frmPrincipal_ = new BulletinFeed(engine_, &window_);
    build_strip();
    // Told by the refresh, with the engine's turn, on its thread; shown on the window's.
    engine_.ticker().subscribe([this] {
        const Ticker& ticker = engine_.ticker();
        on_thread_of(strip_, [this, text = QString::fromStdString(ticker.text()),
                              on = ticker.on()] { show_ticker(text, on); });
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

void CatalogFeatures::show_ticker(const QString& text, bool on) {
    nwstBoletines_->set_text(text);
    nwstBoletines_->set_on(on);
    strip_->setVisible(on);
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
