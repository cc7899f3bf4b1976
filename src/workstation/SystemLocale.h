// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QLocale>

#include "base/DateTime.h"
#include "workstation/WorkstationFormats.h"

namespace ordano {

// The workstation's locale; the office's own es-MX forms where the system defines none
// (the C/POSIX locale).
[[nodiscard]] QLocale workstation_locale();

// The number, date and time forms that the core works with, taken from a Qt locale.
[[nodiscard]] LocaleFormats locale_formats(const QLocale& locale);

}  // namespace ordano
