#include "app/QtUi.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>

#include <exception>
#include <memory>

namespace ordano {

namespace {

QMessageBox::Icon box_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Boxes sit over the modal window that is up, else over the active window.
QWidget* dialog_parent() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

}  // namespace

QString default_title() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Ordano") : name;
}

MessageAnswer QtUi::message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                            std::optional<std::string_view> caption) {
    QMessageBox box(dialog_parent());
    box.setObjectName(QStringLiteral("msgOrdano"));
    box.setIcon(box_icon(icon));
    box.setWindowTitle(caption ? from_utf8(*caption) : default_title());
    box.setText(from_utf8(text));
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

bool QtUi::ask_payment_password() {
    return password_prompt_ ? password_prompt_() : false;
}

void QtUi::run_blocking(const std::function<void()>& work) {
    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker->start();
    // The loop may also end early when the program is quitting; the work still has to finish
    // before its captures go out of scope.
    loop.exec();
    worker->wait();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void QtUi::yield() {
    QCoreApplication::processEvents();
}

}  // namespace ordano
