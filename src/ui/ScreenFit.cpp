// SPDX-License-Identifier: Apache-2.0
#include "ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ordano {

namespace {

// What a title bar and frame take, as most desktops draw them.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

}  // namespace

QSize screen_room(const QScreen& screen) {
    return screen.availableGeometry().size() - QSize(kFrameWidth, kFrameHeight);
}

QRect fitted_place(const QRect& place, const QScreen& screen) {
    const QRect area = screen.availableGeometry();
    const QSize size = place.size().boundedTo(screen_room(screen));
    const int x = std::clamp(place.x(), area.left(), area.left() + area.width() - size.width());
    const int y = std::clamp(place.y(), area.top(),
                             area.top() + area.height() - size.height() - kFrameHeight);
    return {QPoint(x, std::max(y, area.top())), size};
}

void fit_to_screen(QWidget& window, const QSize& wanted) {
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.resize(wanted);
        return;
    }
    window.resize(wanted.boundedTo(screen_room(*screen)).expandedTo(window.minimumSizeHint()));
}

}  // namespace ordano
