// SPDX-License-Identifier: Apache-2.0
#include "app/TransferProgress.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <memory>

namespace ordano {

namespace {

constexpr int kBarSteps = 1000;
constexpr double kKilobyte = 1024.0;

}  // namespace

QString data_size_text(std::int64_t bytes, const QLocale& locale) {
    if (bytes < static_cast<std::int64_t>(kKilobyte)) {
        return QStringLiteral("%1 bytes").arg(locale.toString(static_cast<qlonglong>(bytes)));
    }
    static constexpr std::array<const char*, 3> kUnits = {"KB", "MB", "GB"};
    double amount = static_cast<double>(bytes) / kKilobyte;
    std::size_t unit = 0;
    // 1023.96 KB would round to "1024.0 KB": from there on it is "1.0 MB".
    while (amount >= kKilobyte - 0.05 && unit + 1 < kUnits.size()) {
        amount /= kKilobyte;
        ++unit;
    }
    return locale.toString(amount, 'f', 1) + QLatin1Char(' ') + QLatin1String(kUnits[unit]);
}

QString data_rate_text(std::int64_t bytes, std::int64_t milliseconds, const QLocale& locale) {
    if (milliseconds <= 0) {
        return {};
    }
    const auto per_second = static_cast<std::int64_t>(static_cast<double>(bytes) * 1000.0 /
                                                      static_cast<double>(milliseconds));
    // Below a kilobyte a second the rate still reads in KB/s ("0.5 KB/s").
    if (per_second < static_cast<std::int64_t>(kKilobyte)) {
        return locale.toString(static_cast<double>(per_second) / kKilobyte, 'f', 1) +
               QStringLiteral(" KB/s");
    }
    return data_size_text(per_second, locale) + QStringLiteral("/s");
}

TransferProgress::MillisecondClock TransferProgress::steady_clock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

TransferProgress::TransferProgress(QStatusBar& bar, QLocale locale, MillisecondClock clock)
    : locale_(std::move(locale)), clock_(std::move(clock)) {
    lblProgreso_ = new FittingLabel(&bar);
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
        text +=
            QStringLiteral(": %1 de %2")
                .arg(data_size_text(report.done, locale_), data_size_text(report.total, locale_));
    } else if (report.done > 0) {
        text += QStringLiteral(": ") + data_size_text(report.done, locale_);
    }
    if (report.done > 0 && elapsed_ms_ >= kRateAfterMs) {
        text += QStringLiteral(", ") + data_rate_text(report.done, elapsed_ms_, locale_);
    }
    return text;
}

void TransferProgress::show(const Progress& report) {
    const std::int64_t now = clock_();
    if (report.what != moving_ || report.done == 0) {
        moving_ = report.what;
        started_ms_ = now;
    }
    elapsed_ms_ = now - started_ms_;
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
    moving_.clear();
}

}  // namespace ordano
