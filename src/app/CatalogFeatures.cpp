// SPDX-License-Identifier: Apache-2.0
#include "app/CatalogFeatures.h"

#include <QAction>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>

#include "app/BulletinFeed.h"
#include "app/NewsTicker.h"
#include "catalog/CatalogCheck.h"
#include "dialogs/CatalogUpdateWindow.h"

namespace ordano {
namespace {

constexpr int kCatalogCheckDelayMs = 2000;

}  // namespace

CatalogFeatures::CatalogFeatures(QMainWindow& window, QTimer& tmrCatError, Office& office,
                                 UiPort& ui, FtpSession& eftpPrincipal)
    : window_(window),
      tmrCatError_(tmrCatError),
      office_(office),
      ui_(ui),
      eftpPrincipal_(eftpPrincipal) {
    frmPrincipal_ = new BulletinFeed(office_, eftpPrincipal_, ui_, &window_);
    build_strip();
    frmPrincipal_->ticker().subscribe([this] { show_ticker(); });

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
    const Ticker& ticker = frmPrincipal_->ticker();
    nwstBoletines_->set_text(QString::fromStdString(ticker.text()));
    nwstBoletines_->set_on(ticker.on());
    strip_->setVisible(ticker.on());
}

void CatalogFeatures::show_update_window() {
    update_window().show_modeless();
}

CatalogUpdateWindow& CatalogFeatures::update_window() {
    if (frmActCatErr_ == nullptr) {
        frmActCatErr_ = new CatalogUpdateWindow(office_, ui_, &window_);
    }
    return *frmActCatErr_;
}

// Runs once: the office learns of a newer catalogue without asking. Every failure of the
// check itself is silent.
void CatalogFeatures::tmrCatError_Timer() {
    tmrCatError_.stop();
    CatalogUpdateWindow& window = update_window();
    Revisa_Catalogo(office_, eftpPrincipal_, ui_, window.update(), window.hooks());
}

}  // namespace ordano
