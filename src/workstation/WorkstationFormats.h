// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "base/DateTime.h"

namespace ordano {

// The forms of the workstation's locale (the office's es-MX forms where the system defines
// none): what the window and the command line both use. Declared apart from the Qt side so
// that the command line's core files include no Qt header.
[[nodiscard]] LocaleFormats workstation_formats();

}  // namespace ordano
