#pragma once

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "store/UiPort.h"

namespace ordano {

// Shows the transfer under way in the main window's status bar: which file, its place in the
// run ("n de m") and the bytes moved, with a bar. Hidden while nothing is moving.
class TransferProgress {
public:
    TransferProgress(QStatusBar& bar, QLocale locale);
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    void show(const Progress& report);
    void clear();

    // A report not followed by another within this time is taken as finished.
    static constexpr int kIdleHideMs = 3000;

private:
    [[nodiscard]] QString describe(const Progress& report) const;

    QLocale locale_;
    QLabel* lblProgreso_ = nullptr;
    QProgressBar* prbProgreso_ = nullptr;
    QTimer idle_;
};

}  // namespace ordano
