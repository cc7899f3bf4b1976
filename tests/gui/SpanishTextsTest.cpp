// SPDX-License-Identifier: Apache-2.0
// Qt's own texts in Spanish: the message boxes, Qt's folder and print dialogs, and a walk over
// every window of the program, its text boxes' menus included.
#include <gtest/gtest.h>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>

#include <sstream>

#include "GuiOffice.h"
#include "app/QtTranslations.h"
#include "app/QtUi.h"
#include "app/ReportPrinter.h"
#include "dialogs/FolderPicker.h"

namespace ordano {
namespace {

QStringList button_texts(const QWidget& window) {
    QStringList texts;
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&window) && !button->text().isEmpty()) {
            texts << QString(button->text()).remove(QLatin1Char('&'));
        }
    }
    texts.sort();
    return texts;
}

QStringList label_texts(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        texts << QString(label->text()).remove(QLatin1Char('&'));
    }
    return texts;
}

// What `read` reads of the modal window that `open` brings up (its buttons unless told
// otherwise); the window is then dismissed.
QStringList modal_buttons(const std::function<void()>& open,
                          const std::function<QStringList(const QWidget&)>& read = button_texts) {
    QStringList texts;
    bool seen = false;
    test::when_modal([&](QWidget& modal) {
        texts = read(modal);
        seen = true;
        static_cast<QDialog&>(modal).reject();
    });
    open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen; }, 6000));
    return texts;
}

std::string message_box_buttons(MessageButtons buttons) {
    QtUi ui;
    return modal_buttons([&] {
               if (buttons == MessageButtons::YesNo) {
                   ui.ask({"¿Deseas continuar?", {}, MessageIcon::Question}, [](MessageAnswer) {});
               } else {
                   ui.tell({"¿Deseas continuar?", {}, MessageIcon::Question});
               }
           })
        .join('|')
        .toStdString();
}

TEST(SpanishQtTexts, MessageBoxesAndQtsDialogsSpeakSpanish) {
    const SpanishQtTexts texts;
    ASSERT_EQ(texts.missing(), QStringList()) << "qt6-translations-l10n is missing";
    EXPECT_EQ(message_box_buttons(MessageButtons::YesNo), "No|Sí");
    EXPECT_EQ(message_box_buttons(MessageButtons::Ok), "Aceptar");

    const QTemporaryDir folder;
    const QStringList picker =
        modal_buttons([&] { system_folder_picker()(nullptr, folder.path(), [](auto) {}); });
    EXPECT_TRUE(picker.contains("Cancelar")) << picker.join('|').toStdString();
    EXPECT_TRUE(picker.contains("Seleccionar")) << picker.join('|').toStdString();

    // Mexico's "archivo" where Qt's Spanish (Spain's) says "fichero".
    const QStringList save = modal_buttons(
        [&] { system_save_file_picker()(nullptr, folder.filePath("historial.csv"), [](auto) {}); },
        label_texts);
    EXPECT_TRUE(save.contains("Nombre de archivo:")) << save.join('|').toStdString();
    EXPECT_FALSE(save.join('|').contains("ichero")) << save.join('|').toStdString();
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), "Carpeta");

#ifndef _WIN32  // Windows' own print dialog is no Qt window, and speaks the system's language
    QPrinter printer;
    const QStringList print =
        modal_buttons([&] { system_printer_dialog(printer, false, nullptr, [](bool) {}); });
    EXPECT_TRUE(print.contains("Cancelar")) << print.join('|').toStdString();
    EXPECT_TRUE(print.contains("Imprimir")) << print.join('|').toStdString();
#endif
}

TEST(SpanishQtTexts, WithoutTranslationFilesMessageBoxesStillSpeakSpanishAndTheLackIsSaid) {
    // The program's message helper needs no translation at all.
    EXPECT_EQ(message_box_buttons(MessageButtons::YesNo), "No|Sí");
    EXPECT_EQ(message_box_buttons(MessageButtons::Ok), "Aceptar");

    const QTemporaryDir empty;
    const SpanishQtTexts texts({empty.path()});
    EXPECT_EQ(texts.missing(), QStringList({"qtbase_es.qm"}));
    std::ostringstream said;
    texts.report_missing(said);
    EXPECT_EQ(said.str(), "ordano: no se encontró la traducción qtbase_es.qm en " +
                              empty.path().toStdString() +
                              "; los diálogos de archivos e impresión y los menús de los "
                              "cuadros de texto quedarán en inglés\n");
    // A box built without the helper, with details to show.
    QMessageBox box(QMessageBox::Warning, "Ordano", "Falló", QMessageBox::Ok);
    box.setDetailedText("550 No such file");
    EXPECT_EQ(modal_buttons([&] { box.exec(); }).join('|'), "Aceptar|Mostrar los detalles...");
}

// Collects what a person can read in the program's windows and finds Qt's English words in it.
class TextWalk {
public:
    // `window`'s title, its controls' texts, items, headers and tool tips, its actions, the
    // menus of its text boxes; and the same for each window it holds (shown or not).
    void walk(QWidget& window) {
        ++windows_;
        const QString where = name(window);
        read(where, window.windowTitle());
        if (auto* main = qobject_cast<QMainWindow*>(&window)) {
            read_menu(where + " (menú)", std::unique_ptr<QMenu>(main->createPopupMenu()).get());
        }
        for (QWidget* child : window.findChildren<QWidget*>()) {
            if (child->isWindow()) {
                walk(*child);
            } else if (child->window() == &window && can_be_seen(*child, window)) {
                read_control(where + " › " + name(*child), *child);
            }
        }
    }

    // One line per English text found, where it was first.
    [[nodiscard]] std::string english() const {
        QStringList lines = english_;
        lines.removeDuplicates();
        return lines.join('\n').toStdString();
    }
    [[nodiscard]] int windows() const { return windows_; }

private:
    static QString name(const QWidget& widget) {
        return widget.objectName().isEmpty() ? widget.metaObject()->className()
                                             : widget.objectName();
    }

    // Whether a person can see `control` in `window`, on any of its tabs or pages.
    static bool can_be_seen(const QWidget& control, const QWidget& window) {
        for (const QWidget* widget = &control; widget != &window; widget = widget->parentWidget()) {
            if (widget->isHidden() && !qobject_cast<QStackedWidget*>(widget->parentWidget())) {
                return false;
            }
        }
        return true;
    }

    void read(const QString& where, QString text) {
        static const QRegularExpression kWords(
            "\\b(Yes|OK|Cancel|Open|Save|Apply|Close|Copy|Paste|Select All)\\b");
        text.remove(QLatin1Char('&'));
        if (kWords.match(text).hasMatch()) {
            english_ << where + ": " + text;
        }
    }

    void read_menu(const QString& where, const QMenu* menu) {
        for (const QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            read(where, action->text());
            read_menu(where, action->menu());
        }
    }

    void read_control(const QString& where, QWidget& control) {
        read(where, control.toolTip());
        for (const QAction* action : control.actions()) {
            read(where, action->text());
            read(where, action->toolTip());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
            read(where, button->text());
        } else if (auto* label = qobject_cast<QLabel*>(&control)) {
            read(where, label->text());
        } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
            read(where, group->title());
        } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            for (int i = 0; i < combo->count(); ++i) {
                read(where, combo->itemText(i));
            }
        } else if (auto* tabs = qobject_cast<QTabBar*>(&control)) {
            for (int i = 0; i < tabs->count(); ++i) {
                read(where, tabs->tabText(i));
            }
        } else if (auto* header = qobject_cast<QHeaderView*>(&control); header && header->model()) {
            for (int i = 0; i < header->count(); ++i) {
                read(where, header->model()->headerData(i, header->orientation()).toString());
            }
        }
        if (qobject_cast<QLineEdit*>(&control) || qobject_cast<QAbstractSpinBox*>(&control) ||
            qobject_cast<QPlainTextEdit*>(&control) || qobject_cast<QTextEdit*>(&control)) {
            read_context_menu(where + " (menú)", control);
        }
    }

    // The menu the Menu key brings up, whether it runs a loop of its own or only pops up.
    void read_context_menu(const QString& where, QWidget& box) {
        bool read_once = false;
        const auto read_popup = [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu != nullptr && !read_once) {
                read_once = true;
                read_menu(where, menu);
                menu->close();
            }
        };
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, read_popup);
        poll.start(5);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                box.mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(&box, &event);
        read_popup();
    }

    int windows_ = 0;
    QStringList english_;
};

// While it lives, every modal window that comes up is walked, then dismissed.
class ModalSweeper {
public:
    explicit ModalSweeper(TextWalk& walk) {
        QObject::connect(&timer_, &QTimer::timeout, [this, &walk] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || busy_) {
                return;
            }
            busy_ = true;
            walk.walk(*modal);
            ++swept_;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
            busy_ = false;
        });
        timer_.start(10);
    }
    [[nodiscard]] int swept() const { return swept_; }

private:
    QTimer timer_;
    bool busy_ = false;
    int swept_ = 0;
};

TEST(SpanishQtTexts, NoWindowOfTheProgramShowsQtsEnglishWords) {
    const SpanishQtTexts texts;
    const QWidgetList before = QApplication::topLevelWidgets();
    TextWalk walk;
    QtUi ui;
    test::GuiOffice gui;
    MainWindow& window = gui.open(ui);
    window.show();
    {
        const ModalSweeper sweeper(walk);
        // Every action of the main window's toolbars, with the boxes and windows it opens.
        for (QToolBar* bar : window.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
            for (QAction* action : bar->actions()) {
                action->trigger();
            }
        }
        const QTemporaryDir folder;
        system_folder_picker()(&window, folder.path(), [](auto) {});
        QPrinter printer;
        system_printer_dialog(printer, true, &window, [](bool) {});
        ui.tell({"Aviso", {}, MessageIcon::Information});
        ui.ask({"¿Pregunta?", {}, MessageIcon::Question}, [](MessageAnswer) {});
        // Nothing holds the window while they are up: each comes and is swept in turn.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return sweeper.swept() >= 5 && QApplication::activeModalWidget() == nullptr &&
                       ui.current_box() == nullptr && window.engine().idle();
            },
            10000));
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->parentWidget() == nullptr && !before.contains(top)) {
            walk.walk(*top);
        }
    }
    EXPECT_GE(walk.windows(), 8);
    EXPECT_EQ(walk.english(), "");
}

}  // namespace
}  // namespace ordano
