// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QPixmap>

namespace ordano {

// imgAct(0) of the catalogue-update window: a catalogue arriving from the server into the
// office's database, drawn here so the program ships no art files.
[[nodiscard]] QPixmap catalog_update_illustration(int size = 96);

}  // namespace ordano
