#include "ui/CloseKeys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace ordano {

void add_close_keys(QWidget& window, std::function<void()> close) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        auto* shortcut = new QShortcut(keys, &window);
        QObject::connect(shortcut, &QShortcut::activated, &window, close);
    }
}

}  // namespace ordano
