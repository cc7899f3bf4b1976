// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QColor>
#include <QPalette>

#include <optional>

#include "office/JournalStatus.h"

namespace ordano {

// The states the windows mark with a colour.
enum class Mark { Late, Refused, Accepted };

// The colour of `mark` on `palette`: a deeper shade on a light theme (dark text), a paler one
// on a dark theme, so that it keeps a readable contrast (4.5:1 or more) in either theme.
[[nodiscard]] QColor mark_color(Mark mark, const QPalette& palette);

// How a journey status is marked wherever it is shown (lists, history): overdue late,
// rejected and failed refused, accepted accepted; the others not at all.
[[nodiscard]] std::optional<Mark> status_mark(JourneyStatus status);

}  // namespace ordano
