// SPDX-License-Identifier: Apache-2.0
#pragma once

class QSettings;
class QWidget;

namespace ordano {

// A window's layout as the person left it on this workstation: its place and size (and
// whether it was maximised), the positions of its splitters and the widths of its lists'
// visible columns. Kept in `settings` under the window's object name; splitters and lists are
// found by theirs.
void save_layout(const QWidget& window, QSettings& settings);

// Puts back what save_layout kept; what was never saved keeps its built-in layout. A place
// that no screen shows any more (a screen unplugged, another workstation's screens) is not
// restored: the window opens where the system puts it. The size restored is never larger than
// the room on the screen the window opens on.
void restore_layout(QWidget& window, QSettings& settings);

}  // namespace ordano
