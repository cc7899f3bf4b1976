// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QPalette>

namespace ordano {

// A dark palette of the kind dark desktop themes give: light text on dark grey, a blue
// highlight. For showing the windows dark on any desktop (and for checking them so).
[[nodiscard]] QPalette dark_palette();

}  // namespace ordano
