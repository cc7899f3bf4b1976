// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QObject>
#include <QStatusBar>
#include <QTimer>

#include <array>

#include "base/DateTime.h"
#include "ui/FittingLabel.h"

namespace ordano {

// The main window's status bar `stbPrincipal`: panel 1 today's long date, panel 2 the julian
// day (both set once), panel 3 the time of day ("hh:mm ampm"), kept current by the status bar
// itself. The panels never widen the window: on a narrow one the date shortens ("09/12/2026"),
// and the rest of the bar keeps room for the window's words.
class StatusPanels : public QObject {
    Q_OBJECT
public:
    // `formats`: the office's, in which the lists and the history show their times too.
    StatusPanels(QStatusBar& bar, const Clock& clock, QLocale locale, LocaleFormats formats);

    // Panels 1 and 2, from today's date and julian day.
    void set_day(std::chrono::year_month_day today, int dia_juliano);
    [[nodiscard]] FittingLabel& panel(int number) {
        return *panels_.at(static_cast<std::size_t>(number - 1));
    }

    static constexpr int kClockIntervalMs = 1000;

private slots:
    void refresh_clock();

private:
    const Clock& clock_;
    QLocale locale_;
    LocaleFormats formats_;
    std::array<FittingLabel*, 3> panels_{};
    QTimer ticker_;
};

[[nodiscard]] QDate to_qdate(std::chrono::year_month_day date);

}  // namespace ordano
