// SPDX-License-Identifier: Apache-2.0
#include "app/QtUi.h"

#include <QAbstractButton>
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

// The program names its buttons itself, so that they read in Spanish even where Qt's
// translations are missing. Any other button keeps its text.
QString button_text(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Yes:
            return QStringLiteral("&Sí");
        case QMessageBox::No:
            return QStringLiteral("&No");
        case QMessageBox::Ok:
            return QStringLiteral("Aceptar");
        case QMessageBox::Cancel:
            return QStringLiteral("Cancelar");
        default:
            return {};
    }
}

void set_buttons(QMessageBox& box, MessageButtons buttons, MessageIcon icon) {
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(icon == MessageIcon::Question ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    for (QAbstractButton* button : box.buttons()) {
        if (const QString text = button_text(box.standardButton(button)); !text.isEmpty()) {
            button->setText(text);
        }
    }
}

}  // namespace

QString default_title() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Ordano") : name;
}

MessageAnswer QtUi::message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                            std::optional<std::string_view> caption) {
    return detailed_message(text, {}, icon, buttons, caption);
}

MessageAnswer QtUi::detailed_message(std::string_view text, std::string_view details,
                                     MessageIcon icon, MessageButtons buttons,
                                     std::optional<std::string_view> caption) {
    QMessageBox box(dialog_parent());
    box.setObjectName(QStringLiteral("msgOrdano"));
    box.setIcon(box_icon(icon));
    box.setWindowTitle(caption ? from_utf8(*caption) : default_title());
    box.setText(from_utf8(text));
    if (!details.empty()) {
        box.setDetailedText(from_utf8(details));
    }
    set_buttons(box, buttons, icon);
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

void QtUi::set_progress_display(QObject* context, ProgressDisplay display) {
    std::lock_guard lock(progress_mutex_);
    progress_context_ = context;
    progress_display_ = std::move(display);
    pending_progress_.reset();
}

void QtUi::progress(const Progress& report) {
    std::lock_guard lock(progress_mutex_);
    if (!progress_display_ || progress_context_.isNull()) {
        return;
    }
    const bool posted = pending_progress_.has_value();
    pending_progress_ = report;
    if (!posted) {
        // One report in flight at a time: a transfer reports far more often than a window
        // repaints.
        QMetaObject::invokeMethod(
            progress_context_.data(), [this] { show_latest_progress(); }, Qt::QueuedConnection);
    }
}

void QtUi::show_latest_progress() {
    std::optional<Progress> report;
    ProgressDisplay display;
    {
        std::lock_guard lock(progress_mutex_);
        report.swap(pending_progress_);
        display = progress_display_;
    }
    if (report && display) {
        display(*report);
    }
}

void QtUi::yield() {
    QCoreApplication::processEvents();
}

}  // namespace ordano
