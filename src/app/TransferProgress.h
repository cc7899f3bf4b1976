// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

#include "base/UiPort.h"
#include "ui/FittingLabel.h"

namespace ordano {

// Shows the transfer under way in the main window's status bar: which file, its place in the
// run ("n de m"), the amount moved in KB or MB and the rate, with a bar. Hidden while nothing
// is moving.
class TransferProgress {
public:
    // Milliseconds from any fixed point; the rate is measured with it.
    using MillisecondClock = std::function<std::int64_t()>;

    TransferProgress(QStatusBar& bar, QLocale locale, MillisecondClock clock = steady_clock());
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    void show(const Progress& report);
    void clear();
    // The transfer shown ("Enviando M0015001.033 (archivo 1 de 3): …"); empty when none.
    [[nodiscard]] QString text() const { return lblProgreso_->text(); }

    // A report not followed by another within this time is taken as finished.
    static constexpr int kIdleHideMs = 3000;
    // The rate is shown once a file has been moving this long: sooner it says little.
    static constexpr int kRateAfterMs = 500;

    [[nodiscard]] static MillisecondClock steady_clock();

private:
    [[nodiscard]] QString describe(const Progress& report) const;

    QLocale locale_;
    MillisecondClock clock_;
    FittingLabel* lblProgreso_ = nullptr;  // cut with "…" on a narrow window
    QProgressBar* prbProgreso_ = nullptr;
    QTimer idle_;
    std::string moving_;           // the file whose rate is being measured
    std::int64_t started_ms_ = 0;  // when its first report came
    std::int64_t elapsed_ms_ = 0;  // since then, at the latest report
};

// An amount of data as people read it: "512 bytes", "12.0 KB", "3.2 MB", "1.5 GB" (1 KB =
// 1,024 bytes; one decimal, the locale's decimal sign).
[[nodiscard]] QString data_size_text(std::int64_t bytes, const QLocale& locale);

// The rate of `bytes` moved in `milliseconds`: "850.0 KB/s", "1.2 MB/s"; empty for no time.
[[nodiscard]] QString data_rate_text(std::int64_t bytes, std::int64_t milliseconds,
                                     const QLocale& locale);

}  // namespace ordano
