// SPDX-License-Identifier: Apache-2.0
#pragma once

class QWidget;

namespace ordano {

// Puts `content` (a list) inside a thin frame of `parent` that is drawn in the palette's
// highlight colour while the keyboard is in the list: the chosen row of a list looks the same
// whether or not the list has the focus, so the frame tells where the arrows will act.
// Returns the frame, to be laid out in the list's place.
QWidget* with_focus_ring(QWidget* content, QWidget* parent);

}  // namespace ordano
