// SPDX-License-Identifier: Apache-2.0
#include "workstation/QtVersion.h"

#include <QtGlobal>

namespace ordano {

const char* qt_runtime_version() noexcept {
    return qVersion();
}

}  // namespace ordano
