// SPDX-License-Identifier: Apache-2.0
#include "app/StatusPanels.h"

#include "app/WindowTexts.h"

namespace ordano {

QDate to_qdate(std::chrono::year_month_day date) {
    return QDate(static_cast<int>(date.year()),
                 static_cast<int>(static_cast<unsigned>(date.month())),
                 static_cast<int>(static_cast<unsigned>(date.day())));
}

StatusPanels::StatusPanels(QStatusBar& bar, const Clock& clock, QLocale locale,
                           LocaleFormats formats)
    : QObject(&bar), clock_(clock), locale_(std::move(locale)), formats_(std::move(formats)) {
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new FittingLabel(&bar);
        label->setObjectName(QStringLiteral("stbPrincipal.Panels(%1)").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(6, 0, 6, 0);
        // The spare width is left to the transfers' texts and the window's words.
        bar.addPermanentWidget(label);
        panels_[i] = label;
    }
    ticker_.setObjectName(QStringLiteral("stbPrincipal.Clock"));
    ticker_.setInterval(kClockIntervalMs);
    connect(&ticker_, &QTimer::timeout, this, &StatusPanels::refresh_clock);
    refresh_clock();
    ticker_.start();
}

void StatusPanels::set_day(std::chrono::year_month_day today, int dia_juliano) {
    const QDate date = to_qdate(today);
    panel(1).setText(locale_.toString(date, QLocale::LongFormat));
    panel(1).set_shorter_texts({locale_.toString(date, QLocale::ShortFormat)});
    panel(2).setText(QString::fromStdString(julian_day_panel(dia_juliano)));
}

// In the form of every other time the window shows (the lists, the history, the report).
void StatusPanels::refresh_clock() {
    panel(3).setText(QString::fromStdString(time_hh_mm_ampm(clock_.now(), formats_)));
}

}  // namespace ordano
