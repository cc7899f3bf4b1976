// SPDX-License-Identifier: Apache-2.0
#include "ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ordano {

namespace {

// What a title bar and frame take, as most desktops draw them.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

}  // namespace

void fit_to_screen(QWidget& window, const QSize& wanted) {
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.resize(wanted);
        return;
    }
    const QSize room = screen->availableGeometry().size() - QSize(kFrameWidth, kFrameHeight);
    window.resize(wanted.boundedTo(room).expandedTo(window.minimumSizeHint()));
}

}  // namespace ordano
