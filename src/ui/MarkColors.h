#pragma once

#include <QColor>
#include <QPalette>

namespace ordano {

// The states the windows mark with a colour.
enum class Mark { Late, Refused, Accepted };

// The colour of `mark` on `palette`: a deeper shade on a light theme (dark text), a paler one
// on a dark theme, so that it keeps a readable contrast (4.5:1 or more) in either theme.
[[nodiscard]] QColor mark_color(Mark mark, const QPalette& palette);

}  // namespace ordano
