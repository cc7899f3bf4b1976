// SPDX-License-Identifier: Apache-2.0
#include "app/QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QThread>

#include "ui/WindowThread.h"

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

void set_buttons(QMessageBox& box, bool question, MessageIcon icon) {
    if (question) {
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

void QtUi::tell(Notice notice) {
    enqueue({std::move(notice), false, {}, {}});
}

void QtUi::ask(Notice question, Answer answer) {
    enqueue({std::move(question), true, std::move(answer), {}});
}

void QtUi::ask_payment_password(PasswordAnswer answer) {
    enqueue({{}, false, {}, std::move(answer)});
}

void QtUi::set_payment_password_prompt(PasswordPrompt prompt) {
    on_thread_of(&window_thread_, [this, prompt = std::move(prompt)]() mutable {
        password_prompt_ = std::move(prompt);
    });
}

void QtUi::after_messages(std::function<void()> then) {
    on_thread_of(&window_thread_, [this, then = std::move(then)]() mutable {
        after_.push_back(std::move(then));
        tell_if_all_seen();
    });
}

void QtUi::enqueue(Pending pending) {
    if (QThread::currentThread() == window_thread_.thread() && !pending.password) {
        // The windows' own: shown at once, whatever else is up.
        QMessageBox* box = show_box(std::move(pending));
        QObject::connect(box, &QMessageBox::finished, &window_thread_, [this] { forget_closed(); });
        return;
    }
    QMetaObject::invokeMethod(
        &window_thread_,
        [this, pending = std::move(pending)]() mutable {
            queue_.push_back(std::move(pending));
            show_next();
        },
        Qt::QueuedConnection);
}

QMessageBox* QtUi::current_box() const {
    for (auto it = boxes_.rbegin(); it != boxes_.rend(); ++it) {
        if (!it->isNull()) {
            return it->data();
        }
    }
    return nullptr;
}

void QtUi::forget_closed() {
    std::erase_if(
        boxes_, [](const QPointer<QMessageBox>& box) { return box.isNull() || !box->isVisible(); });
    show_next();
}

void QtUi::tell_if_all_seen() {
    if (showing_ || !queue_.empty() || current_box() != nullptr) {
        return;
    }
    for (const auto& then : std::exchange(after_, {})) {
        then();
    }
}

void QtUi::show_next() {
    if (showing_ || current_box() != nullptr) {
        return;
    }
    if (queue_.empty()) {
        tell_if_all_seen();
        return;
    }
    Pending next = std::move(queue_.front());
    queue_.pop_front();
    showing_ = true;
    if (next.password) {
        if (!password_prompt_) {
            next.password(false);
            done_showing();
            return;
        }
        password_prompt_([this, answer = std::move(next.password)](bool accepted) {
            answer(accepted);
            done_showing();
        });
        return;
    }
    QMessageBox* box = show_box(std::move(next));
    QObject::connect(box, &QMessageBox::finished, &window_thread_, [this] { done_showing(); });
}

// Modal to the whole program, as a box that held the window was, but shown without holding
// the windows' thread: the answer is given when the box is closed.
QMessageBox* QtUi::show_box(Pending pending) {
    auto* box = new QMessageBox(dialog_parent());
    box->setObjectName(QStringLiteral("msgOrdano"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    const Notice& notice = pending.notice;
    box->setIcon(box_icon(notice.icon));
    box->setWindowTitle(notice.caption ? QString::fromStdString(*notice.caption) : default_title());
    box->setText(QString::fromStdString(notice.text));
    if (!notice.details.empty()) {
        box->setDetailedText(QString::fromStdString(notice.details));
    }
    set_buttons(*box, pending.question, notice.icon);
    QObject::connect(
        box, &QMessageBox::finished, &window_thread_,
        [answer = std::move(pending.answer)](int result) {
            if (answer) {
                answer(result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No);
            }
        });
    boxes_.emplace_back(box);
    box->show();
    return box;
}

void QtUi::done_showing() {
    showing_ = false;
    std::erase_if(
        boxes_, [](const QPointer<QMessageBox>& box) { return box.isNull() || !box->isVisible(); });
    show_next();
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

void QtUi::remark(std::string_view text) {
    constexpr int kShownMs = 15000;
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QMetaObject::invokeMethod(
        qApp,
        [shown] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* bar = window->findChild<QStatusBar*>(QStringLiteral("stbPrincipal"))) {
                    bar->showMessage(shown, kShownMs);
                }
            }
        },
        Qt::QueuedConnection);
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

}  // namespace ordano
