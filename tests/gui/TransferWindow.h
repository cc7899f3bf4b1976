// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "GuiOffice.h"
#include "QtPrinting.h"
#include "app/MainWindow.h"
#include "app/QtUi.h"
#include "base/DateTime.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "office/Office.h"

namespace ordano::test {

// Answers every modal window that comes up while it runs, as the person in front of the
// program would: message boxes from a script of buttons (OK, else No, when the script is
// empty), other modal windows through `on_window`, called again while the window stays up.
// Records the text and the details of every box.
class ModalRobot {
public:
    ModalRobot() {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { answer_modal(); });
        poll_.start();
    }

    void answer(QMessageBox::StandardButton button) { answers_.push_back(button); }

    QStringList texts;
    QStringList details;  // each box's "Detalles" section, empty when it has none
    std::function<void(QWidget&)> on_window;

private:
    // The answer is given from a zero-time timer, after this poll has returned, so that a box
    // opened by the answer itself (a refusal) is answered by the next poll in its own loop.
    void answer_modal() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || pending_) {
            return;
        }
        pending_ = true;
        QTimer::singleShot(0, &poll_, [this, window = QPointer<QWidget>(modal)] {
            pending_ = false;
            if (!window.isNull() && window->isVisible()) {
                act(*window);
            }
        });
    }

    void act(QWidget& modal) {
        if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
            texts << box->text();
            details << box->detailedText();
            QMessageBox::StandardButton press = box->standardButtons().testFlag(QMessageBox::Ok)
                                                    ? QMessageBox::Ok
                                                    : QMessageBox::No;
            if (!answers_.empty() && box->button(answers_.front()) != nullptr) {
                press = answers_.front();
                answers_.pop_front();
            } else if (!answers_.empty()) {
                ADD_FAILURE() << "no scripted button on: " << box->text().toStdString();
            }
            box->button(press)->click();
        } else if (on_window) {
            on_window(modal);
        }
    }

    QTimer poll_;
    std::deque<QMessageBox::StandardButton> answers_;
    bool pending_ = false;
};

// An office (patente 15, 2 February 2026: julian day 33) whose server is the real FTP server
// fixture, its main window on the window's own UI port, and a robot answering its boxes.
struct TransferWindow {
    TransferWindow() {
        server.make_input_folders();
        files.serve_from(server.address());
    }

    MainWindow& open() {
        office = Office::open(files.path_options(), clock);
        window = std::make_unique<MainWindow>(*office, ui,
                                              QLocale(QLocale::Spanish, QLocale::Mexico), [] {});
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QTreeWidget& list(int index) const {
        return *find<QTreeWidget>(QStringLiteral("lvwPreVal(%1)").arg(index));
    }
    QAction& action(const char* key) const {
        return *find<QToolBar>(QStringLiteral("tlbPreVal"))->findChild<QAction*>(key);
    }
    QTimer& polling_timer() const { return *find<QTimer>(QStringLiteral("tmrPreVal")); }
    // Waits until the engine has nothing left to do, every box has been answered, and the
    // window has shown what it was told.
    void settle() {
        settle_window(*window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ui.current_box() == nullptr; }, 5000));
        settle_window(*window);
    }

    // Writes a file into the send folder of its kind (by its first letter).
    std::filesystem::path write_send_file(const std::string& name, std::string_view bytes) {
        const auto& folders = office->session().folders;
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        const std::string& folder =
            kind == 'E' ? folders.pag_env : (kind == 'S' ? folders.sag_env : folders.val_env);
        return box.write_file(std::filesystem::path(folder) / name, bytes);
    }

    Sandbox box;
    TestOffice files{box};
    FixedClock clock{LocalDateTime{std::chrono::year{2026} / 2 / 2, 10, 30, 0}};
    FtpServer server;
    QtUi ui;
    std::unique_ptr<Office> office;
    std::unique_ptr<MainWindow> window;
    ModalRobot robot;
};

// The texts of a list view's rows, column `column`.
inline QStringList column_texts(const QTreeWidget& list, int column = 0) {
    QStringList out;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        out << list.topLevelItem(i)->text(column);
    }
    return out;
}

}  // namespace ordano::test
