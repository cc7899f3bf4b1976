// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QIcon>
#include <QPalette>
#include <QPixmap>

#include "base/Action.h"

namespace ordano::images {

// Pictures of the main window's image list, numbered 1 to 13 as the list rows refer to them
// (2 a validation file, 8 a SAGARPA file, 13 a "P" file, 1 a prevalidation answer, and the
// electronic-payment files by their operation code). Other numbers give an empty icon.
[[nodiscard]] QIcon row_image(int number);
inline constexpr int kRowImageCount = 13;
// What picture `number` stands for ("Archivo SAAI M3 (M, C o D)", ...); empty for others.
[[nodiscard]] QString row_image_meaning(int number);

// Pictures of `imlFondos`: 1 the lists' background (for the application's palette), 2 a step
// under way, 3 a finished step, 4 the step at which a run ended with a result. Other numbers
// give a null pixmap.
[[nodiscard]] QPixmap background(int number);
// The lists' background tile for `palette`: its base colour with faint lines.
[[nodiscard]] QPixmap list_background(const QPalette& palette);

// The toolbar and button icon of an action.
[[nodiscard]] QIcon action_icon(Action action);

// The program's own icon for its windows.
[[nodiscard]] QIcon program_icon();

}  // namespace ordano::images
