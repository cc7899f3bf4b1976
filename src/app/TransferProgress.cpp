#include "app/TransferProgress.h"

#include <algorithm>

namespace ordano {

namespace {

constexpr int kBarSteps = 1000;

}  // namespace

TransferProgress::TransferProgress(QStatusBar& bar, QLocale locale) : locale_(std::move(locale)) {
    lblProgreso_ = new QLabel(&bar);
    lblProgreso_->setObjectName(QStringLiteral("lblProgreso"));
    prbProgreso_ = new QProgressBar(&bar);
    prbProgreso_->setObjectName(QStringLiteral("prbProgreso"));
    prbProgreso_->setMaximumWidth(160);
    prbProgreso_->setTextVisible(false);
    bar.addWidget(lblProgreso_);
    bar.addWidget(prbProgreso_);
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleHideMs);
    QObject::connect(&idle_, &QTimer::timeout, lblProgreso_, [this] { clear(); });
    clear();
}

QString TransferProgress::describe(const Progress& report) const {
    // Only the sending run numbers its files, and only uploads belong to it; the rest are
    // downloads (the payment-password file, the answers).
    QString text = (report.item > 0 ? QStringLiteral("Enviando ") : QStringLiteral("Recibiendo ")) +
                   QString::fromStdString(report.what);
    if (report.item > 0) {
        text += QStringLiteral(" (archivo %1 de %2)").arg(report.item).arg(report.items);
    }
    if (report.total > 0) {
        text += QStringLiteral(": %1 de %2 bytes")
                    .arg(locale_.toString(static_cast<qlonglong>(report.done)),
                         locale_.toString(static_cast<qlonglong>(report.total)));
    } else if (report.done > 0) {
        text +=
            QStringLiteral(": %1 bytes").arg(locale_.toString(static_cast<qlonglong>(report.done)));
    }
    return text;
}

void TransferProgress::show(const Progress& report) {
    lblProgreso_->setText(describe(report));
    if (report.total > 0) {
        prbProgreso_->setRange(0, kBarSteps);
        prbProgreso_->setValue(
            static_cast<int>(std::min(report.done, report.total) * kBarSteps / report.total));
    } else {
        prbProgreso_->setRange(0, 0);  // moving, size unknown
    }
    lblProgreso_->show();
    prbProgreso_->show();
    idle_.start();
}

void TransferProgress::clear() {
    idle_.stop();
    lblProgreso_->clear();
    lblProgreso_->hide();
    prbProgreso_->reset();
    prbProgreso_->hide();
}

}  // namespace ordano
