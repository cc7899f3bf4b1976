// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

namespace ordano {

// Runs `work` on `context`'s thread (the window's): at once when called there, else queued
// behind what that thread has to do, and never once `context` is gone. The core tells of its
// changes on whichever thread made them; the windows are changed on their own.
template <typename Work>
void on_thread_of(QObject* context, Work&& work) {
    if (QThread::currentThread() == context->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, std::forward<Work>(work), Qt::QueuedConnection);
}

}  // namespace ordano
