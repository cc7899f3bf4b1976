// SPDX-License-Identifier: Apache-2.0
#include "ui/CloseKeys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace ordano {

void add_close_keys(QWidget& window, std::function<void()> close) {
    // Ctrl+W on every platform, whatever else the platform closes a window with.
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Close);
    for (const QKeySequence& more :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QStringLiteral("Ctrl+W"))}) {
        if (!keys.contains(more)) {
            keys << more;
        }
    }
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, &window);
        QObject::connect(shortcut, &QShortcut::activated, &window, close);
    }
}

}  // namespace ordano
