// SPDX-License-Identifier: Apache-2.0
#pragma once

class QRect;
class QScreen;
class QSize;
class QWidget;

namespace ordano {

// Resizes a window to `wanted`, or to as much of it as the screen it opens on has room for
// (a small or scaled screen: 1600 x 1000 at twice the size is 800 x 500), leaving room for
// the window's frame.
void fit_to_screen(QWidget& window, const QSize& wanted);

// The room a window has on `screen`: its available area less the window's frame.
[[nodiscard]] QSize screen_room(const QScreen& screen);

// `place` made to fit that room and moved, as little as it takes, into the available area.
[[nodiscard]] QRect fitted_place(const QRect& place, const QScreen& screen);

}  // namespace ordano
