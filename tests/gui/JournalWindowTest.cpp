// SPDX-License-Identifier: Apache-2.0
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <functional>
#include <tuple>

#include "app/JournalView.h"
#include "app/ListColumns.h"
#include "app/TransferPanel.h"
#include "base/Errors.h"
#include "base/Sha256.h"
#include "dialogs/HistoryModel.h"
#include "dialogs/HistoryWindow.h"
#include "gui/GuiOffice.h"
#include "office/Journal.h"
#include "office/Session.h"
#include "transfer/TransferDesk.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// An office whose journal a previous run left with entries, and its main window opened on
// it at 10:30 on 2 February 2026.
class JournalWindowTest : public ::testing::Test {
protected:
    // An entry sent at hh:mm today, awaiting its answers.
    void sent_at(const std::string& name, int hour, int minute) {
        gui.clock.set({std::chrono::year{2026} / 2 / 2, hour, minute, 0});
        const JournalId id = journal().listed({name, "", "2", "/ag0015", "/ag0015"});
        journal().sent(id, {"", "", name.substr(0, 9) + "err", "/ag0015", val_rec()});
    }
    Journal& journal() {
        if (!seed) {
            seed = std::make_unique<Journal>(gui.files.db_file, gui.clock);
        }
        return *seed;
    }
    std::string val_rec() { return (gui.files.db_file.parent_path() / "recepcion/saai").string(); }
    MainWindow& open() {
        seed.reset();
        gui.clock.set({std::chrono::year{2026} / 2 / 2, 10, 30, 0});
        return gui.open();
    }
    QStringList column(const QTreeWidget& list, int column = 0) const {
        QStringList out;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            out << list.topLevelItem(i)->text(column);
        }
        return out;
    }

    GuiOffice gui;
    std::unique_ptr<Journal> seed;
};

TEST_F(JournalWindowTest, StartUpPutsBackWhatWasLeftOpenAndMarksTheOverdue) {
    journal().listed({"M0015009.033", "", "2", "/ag0015", "/ag0015"});
    sent_at("C0015001.033", 9, 0);
    sent_at("C0015002.033", 10, 20);
    MainWindow& window = open();

    EXPECT_THAT(column(*gui.find<QTreeWidget>("lvwPreVal(0)")), ElementsAre("M0015009.033"));
    const auto& receive = *gui.find<QTreeWidget>("lvwPreVal(1)");
    EXPECT_THAT(column(receive), ElementsAre("C0015001.033", "C0015002.033"));
    EXPECT_THAT(column(receive, 3), ElementsAre("09:00 a.m.", "10:20 a.m."));
    EXPECT_EQ(receive.topLevelItem(0)->foreground(0).color(), QColor(200, 30, 30));
    EXPECT_EQ(receive.topLevelItem(1)->foreground(0).style(), Qt::NoBrush);
    EXPECT_EQ(window.journal_view().overdue_label().text(), "1 respuesta atrasada");
    EXPECT_TRUE(gui.find<QTimer>("tmrPreVal")->isActive());

    gui.clock.set({std::chrono::year{2026} / 2 / 2, 10, 51, 0});
    EXPECT_EQ(window.journal_view().check_overdue(), 2);
    EXPECT_EQ(window.journal_view().overdue_label().text(), "2 respuestas atrasadas");
}

// "Situación" on both lists, in the journal's words, from start-up to the answers.
TEST_F(JournalWindowTest, TheListsSayWhereEachFileStands) {
    journal().listed({"M0015009.033", "", "2", "/ag0015", "/ag0015"});
    // An upload under way when the program ended: back to send, as failed.
    const JournalId cut = journal().listed({"M0015008.033", "", "2", "/ag0015", "/ag0015"});
    journal().upload_started(cut, {}, "/valin");
    sent_at("C0015001.033", 9, 0);
    sent_at("C0015002.033", 10, 20);
    const JournalId prevalidated = journal().listed({"M0015003.033", "", "2", "/p", "/v"});
    journal().sent(prevalidated, {"k0015003.033", "/p", "M0015003.err", "/v", val_rec()});
    journal().answer_stored(prevalidated, AnswerRole::Prevalidation, val_rec() + "/k0015003.033",
                            AnswerVerdict::Prevalidated, false);
    open();
    const auto& send = *gui.find<QTreeWidget>("lvwPreVal(0)");
    const auto& receive = *gui.find<QTreeWidget>("lvwPreVal(1)");
    const auto outcomes = [&](const QTreeWidget& list, int column) {
        QStringList out;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            out << list.topLevelItem(i)->text(0) + " " + list.topLevelItem(i)->text(column);
        }
        return out;
    };
    EXPECT_THAT(outcomes(send, send_list::kOutcome),
                ElementsAre("M0015009.033 en envío", "M0015008.033 error"));
    EXPECT_THAT(
        outcomes(receive, receive_list::kOutcome),
        ElementsAre("C0015001.033 atrasado", "C0015002.033 esperando", "M0015003.033 prevalidado"));
    EXPECT_EQ(receive.topLevelItem(0)->foreground(receive_list::kOutcome).color(),
              QColor(200, 30, 30));

    // An attempt that fails marks the file to send.
    TransferDesk& desk = gui.window->transfer_panel().desk();
    with_turn(*gui.window, [&] {
        desk.journal().send_failed(desk.send_list().at(0).id, NumberedError(1029, "sin conexión"));
    });
    EXPECT_THAT(outcomes(send, send_list::kOutcome),
                ElementsAre("M0015009.033 error", "M0015008.033 error"));

    // Answers say what they said, on the rows the polling adds.
    for (const auto& [row, bytes] :
         {std::pair{0, "1|77|1|2|3|4|5|\r\n"}, std::pair{1, "200|15|CURP|77|FIRMA|\r\n"}}) {
        const ReceiveRow answered = desk.receive_list().at(static_cast<std::size_t>(row));
        const fs::path file = fs::path(val_rec()) / answered.archivo_val;
        gui.box.write_file(file, bytes);
        with_turn(*gui.window, [&] {
            desk.receive_list().update(answered.id, [](ReceiveRow& r) { r.val_state = "X"; });
            desk.journal().answer_stored(answered.id, false, file);
            desk.send_list().append({0, answered.archivo_val, "R", "", "", 0});
        });
    }
    EXPECT_THAT(outcomes(send, send_list::kOutcome),
                ElementsAre("M0015009.033 error", "M0015008.033 error", "C0015001.err rechazado",
                            "C0015002.err aceptado"));
    EXPECT_EQ(send.topLevelItem(3)->foreground(send_list::kOutcome).color(), QColor(30, 120, 60));
}

// The office's own limit (2 hours here), not the default 30 minutes.
TEST_F(JournalWindowTest, TheOfficesOwnLimitMarksTheOverdue) {
    gui.prepare("UPDATE PARAMETROS SET min_atraso = 120");
    sent_at("C0015001.033", 8, 29);
    sent_at("C0015002.033", 8, 30);
    MainWindow& window = open();  // at 10:30

    const auto& receive = *gui.find<QTreeWidget>("lvwPreVal(1)");
    EXPECT_EQ(receive.topLevelItem(0)->foreground(0).color(), QColor(200, 30, 30));
    EXPECT_EQ(receive.topLevelItem(1)->foreground(0).style(), Qt::NoBrush);
    EXPECT_EQ(window.journal_view().overdue_label().text(), "1 respuesta atrasada");
}

TEST_F(JournalWindowTest, ExitSaysHowManyFilesAwaitAnswers) {
    sent_at("C0015001.033", 10, 0);
    sent_at("C0015002.033", 10, 0);
    MainWindow& window = open();
    gui.ui.answer(MessageAnswer::No);
    window.Ejecuta_Accion(Action::Salir);
    ASSERT_EQ(gui.ui.messages.size(), 1u);
    EXPECT_EQ(gui.ui.messages[0].text,
              "¿Deseas Salir del Sistema?\r\n\r\n2 archivos esperan respuesta; sus respuestas se "
              "recibirán la próxima vez que inicies el programa.");
}

TEST_F(JournalWindowTest, AnAnswerArrivingWhileTheWindowIsInactiveAsksForAttention) {
    sent_at("C0015001.033", 10, 0);
    sent_at("C0015002.033", 10, 0);
    MainWindow& window = open();
    int alerts = 0;
    QStringList notices;
    window.journal_view().set_attention(
        {[&](QWidget&) { ++alerts; }, [] { return true; },
         [&](const QString& title, const QString& text) { notices << title + " | " + text; }});
    TransferDesk& desk = window.transfer_panel().desk();
    const auto store = [&](int row, const std::string& bytes) {
        const ReceiveRow answered = desk.receive_list().at(static_cast<std::size_t>(row));
        const fs::path file = fs::path(val_rec()) / answered.archivo_val;
        gui.box.write_file(file, bytes);
        with_turn(window, [&] {
            desk.receive_list().update(answered.id, [](ReceiveRow& r) { r.val_state = "X"; });
            desk.journal().answer_stored(answered.id, false, file);
        });
    };

    store(0, "1|77|1|2|3|4|5|\r\n");
    EXPECT_EQ(alerts, 1);
    EXPECT_THAT(notices, ElementsAre("Respuesta recibida | C0015001.err: rechazado"));

    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    store(1, "200|15|CURP|77|FIRMA|\r\n");
    EXPECT_EQ(alerts, 1);
}

class HistoryWindowTest : public JournalWindowTest {
protected:
    HistoryWindowTest() {
        sent_at("C0015001.033", 9, 0);
        sent_at("C0015002.033", 10, 0);
        Journal& j = journal();
        j.answer_stored(2, AnswerRole::Validation, val_rec() + "/C0015002.err",
                        AnswerVerdict::Accepted, true);
        gui.box.write_file(fs::path(val_rec()) / "C0015002.err", "200|15|CURP|77|FIRMA|\r\n");
        sent_at("M0015003.033", 10, 25);
        open();
        gui.find<QAction>("historial")->trigger();
        history = &gui.window->journal_view().history_window();
    }
    QStringList files() const {
        QStringList out;
        const auto& model = history->model();
        for (int row = 0; row < model.rowCount(); ++row) {
            out << model.index(row, HistoryModel::kFile).data().toString() + " " +
                       model.index(row, HistoryModel::kStatus).data().toString();
        }
        return out;
    }
    template <typename T>
    T& control(const char* name) const {
        return *history->findChild<T*>(QString::fromLatin1(name));
    }

    HistoryWindow* history = nullptr;
};

TEST_F(HistoryWindowTest, ListsFiltersAndSortsTheJournal) {
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->isVisible());
    EXPECT_THAT(files(), ElementsAre("M0015003.033 esperando", "C0015002.033 aceptado",
                                     "C0015001.033 atrasado"));
    QTRY_COMPARE(control<QLabel>("lblResumen").text(),
                 "Enviados: 3   En espera: 1   Atrasados: 1   Aceptados: 1   Rechazados: 0");
    EXPECT_EQ(history->model().index(0, HistoryModel::kMoment).data().toString(),
              "02/02/2026  10:25:00 a.m.");

    control<QComboBox>("cboEstado").setCurrentText("atrasado");
    EXPECT_THAT(files(), ElementsAre("C0015001.033 atrasado"));
    QTRY_COMPARE(control<QLabel>("lblResumen").text(),
                 "Enviados: 1   En espera: 0   Atrasados: 1   Aceptados: 0   Rechazados: 0");
    control<QComboBox>("cboEstado").setCurrentIndex(0);

    control<QLineEdit>("txtBuscar").setText("0015002");
    QTRY_COMPARE(history->model().rowCount(), 1);
    control<QLineEdit>("txtBuscar").clear();
    QTRY_COMPARE(history->model().rowCount(), 3);

    control<QCheckBox>("chkDesde").setChecked(true);
    control<QDateEdit>("txtDesde").setDate(QDate(2026, 2, 3));
    EXPECT_EQ(history->model().rowCount(), 0);
    control<QCheckBox>("chkDesde").setChecked(false);

    control<QTableView>("lvwHistorial").sortByColumn(HistoryModel::kFile, Qt::AscendingOrder);
    EXPECT_THAT(files(), ElementsAre("C0015001.033 atrasado", "C0015002.033 aceptado",
                                     "M0015003.033 esperando"));
}

// The sorted column's header says which way it reads: newest first at opening; a click on
// it turns the order round, a click on another column sorts by that one.
TEST_F(HistoryWindowTest, TheSortMarkFollowsTheOrder) {
    const auto& model = history->model();
    const auto header = [&](int column) {
        return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    EXPECT_EQ(header(HistoryModel::kMoment), "Fecha y hora ▼");
    EXPECT_EQ(header(HistoryModel::kFile), "Archivo");
    EXPECT_EQ(files().first(), "M0015003.033 esperando");

    QHeaderView& top = *control<QTableView>("lvwHistorial").horizontalHeader();
    emit top.sectionClicked(HistoryModel::kMoment);
    EXPECT_EQ(header(HistoryModel::kMoment), "Fecha y hora ▲");
    EXPECT_EQ(files().first(), "C0015001.033 atrasado");
    emit top.sectionClicked(HistoryModel::kFile);
    EXPECT_EQ(header(HistoryModel::kMoment), "Fecha y hora");
    EXPECT_EQ(header(HistoryModel::kFile), "Archivo ▲");
}

TEST_F(HistoryWindowTest, ExportsTheShownRowsAsCsv) {
    const fs::path target = gui.box.path() / "historial.csv";
    QStringList offered;
    history->set_save_file_picker([&](QWidget*, const QString& start, Chosen chosen) {
        offered << start;
        chosen(QString::fromStdString(target.string()));
    });
    control<QComboBox>("cboTipo").setCurrentText("C");
    control<QPushButton>("cmdExportar").click();
    EXPECT_EQ(Sandbox::read_file(target),
              "\xEF\xBB\xBF"
              "Fecha y hora,Archivo,Tipo,Estado,Respuestas\r\n"
              "2026-02-02 10:00:00,C0015002.033,C,aceptado,C0015002.err\r\n"
              "2026-02-02 09:00:00,C0015001.033,C,atrasado,C0015001.err (esperando)\r\n");
    EXPECT_EQ(control<QLabel>("lblExportado").text(),
              QStringLiteral("Se exportaron 2 envíos a %1.")
                  .arg(QDir::toNativeSeparators(QString::fromStdString(target.string()))));

    // The first export is offered in the Documents folder, the next where the last one went.
    control<QPushButton>("cmdExportar").click();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_FALSE(documents.isEmpty());
    EXPECT_EQ(offered,
              QStringList({QDir(documents).filePath("historial.csv"),
                           QDir::fromNativeSeparators(QString::fromStdString(target.string()))}));
    // Opened again, it does not show an earlier opening's export as news.
    control<QPushButton>("cmdCerrar").click();
    gui.find<QAction>("historial")->trigger();
    EXPECT_TRUE(control<QLabel>("lblExportado").text().isEmpty());
}

TEST_F(HistoryWindowTest, EnterOpensTheAnswersReportAndSaysWhenThereIsNone) {
    auto& table = control<QTableView>("lvwHistorial");
    table.setCurrentIndex(history->model().index(1, 0));
    QTest::keyClick(&table, Qt::Key_Return);
    gui.settle();  // a polling tick may hold the engine: the report comes when it lets go
    EXPECT_THAT(gui.find<QPlainTextEdit>("rtbPreVal")->toPlainText().toStdString(),
                ::testing::HasSubstr("Archivo: C0015002.ERR"));

    history->open_row(0);
    ASSERT_EQ(gui.ui.messages.size(), 1u);
    EXPECT_EQ(gui.ui.messages[0].text, "El archivo M0015003.033 todavía no tiene respuesta.");
}

// The report opened from the history is read in the main window, in front: the history is a
// window of its own, not one kept above the main window.
TEST_F(HistoryWindowTest, AnOpenedAnswerBringsTheMainWindowForward) {
    gui.window->show();
    history->show_modeless();
    QApplication::setActiveWindow(history);
    ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    EXPECT_EQ(history->parentWidget(), nullptr);
    EXPECT_EQ(history->windowHandle()->transientParent(), nullptr);

    history->open_row(1);
    EXPECT_THAT(gui.find<QPlainTextEdit>("rtbPreVal")->toPlainText().toStdString(),
                ::testing::HasSubstr("Archivo: C0015002.ERR"));
    QTRY_VERIFY(gui.window->isActiveWindow());
}

// Both answers in: a menu at the row offers each, the validation answer first.
TEST_F(HistoryWindowTest, AFileWithBothAnswersOffersBoth) {
    Journal& journal = gui.office->journal();
    const JournalId id = journal.listed({"M0015004.033", "", "2", "/ag0015", "/ag0015"});
    journal.sent(id, {"k0015004.033", "/ag0015", "M0015004.err", "/ag0015", val_rec()});
    for (const auto& [role, name, text] :
         {std::tuple{AnswerRole::Prevalidation, "k0015004.033", "PREVALIDADO SIN ERRORES"},
          std::tuple{AnswerRole::Validation, "M0015004.err", "F1234567FIRMA001"}}) {
        gui.box.write_file(fs::path(val_rec()) / name, text);
        journal.answer_stored(id, role, val_rec() + "/" + name, AnswerVerdict::Accepted,
                              role == AnswerRole::Validation);
    }
    history->refresh();
    ASSERT_THAT(files(), ::testing::Contains("M0015004.033 aceptado"));

    history->open_row(0);
    auto* menu = history->findChild<QMenu*>("mnuRespuestas");
    ASSERT_NE(menu, nullptr);
    QStringList offered;
    for (const QAction* item : menu->actions()) {
        offered << item->text();
    }
    EXPECT_EQ(offered, QStringList({"Respuesta de validación: M0015004.err",
                                    "Respuesta de prevalidación: k0015004.033"}));
    EXPECT_EQ(menu->activeAction(), menu->actions().front());
    menu->actions().back()->trigger();
    EXPECT_EQ(gui.find<QPlainTextEdit>("rtbPreVal")->toPlainText(), "PREVALIDADO SIN ERRORES");
}

TEST_F(HistoryWindowTest, CerrarEscAndCtrlWCloseIt) {
    for (const auto& close : std::vector<std::function<void()>>{
             [&] { control<QPushButton>("cmdCerrar").click(); },
             [&] { QTest::keyClick(history, Qt::Key_Escape); },
             [&] { QTest::keyClick(history, Qt::Key_W, Qt::ControlModifier); }}) {
        history->show_modeless();
        QApplication::setActiveWindow(history);
        ASSERT_TRUE(QTest::qWaitForWindowActive(history));
        close();
        EXPECT_FALSE(history->isVisible());
    }
}

// Tab goes as the window reads, and leaves the table rather than walking its cells.
TEST_F(HistoryWindowTest, TabGoesThroughTheWindowAsItReads) {
    QApplication::setActiveWindow(history);
    ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    EXPECT_EQ(test::tab_stops(control<QWidget>("chkDesde")),
              QStringList({"chkDesde", "chkHasta", "cboTipo", "cboEstado", "txtBuscar",
                           "cmdActualizar", "cmdExportar", "lvwHistorial", "cmdCerrar"}));
}

TEST_F(HistoryWindowTest, AnEmptyTableSaysWhy) {
    auto& note = control<QLabel>("lblVacio");
    EXPECT_FALSE(note.isVisible());
    control<QLineEdit>("txtBuscar").setText("no existe");
    QTRY_COMPARE(history->model().rowCount(), 0);
    EXPECT_TRUE(note.isVisible());
    EXPECT_EQ(note.text(), "Ningún envío coincide con los filtros elegidos.");
    control<QLineEdit>("txtBuscar").clear();
    QTRY_COMPARE(history->model().rowCount(), 3);
    EXPECT_FALSE(note.isVisible());
}

// Under a workstation locale without forms of its own (C), the dates read as the rest does.
TEST_F(HistoryWindowTest, TheDateFiltersReadInTheWindowsLanguage) {
    auto& since = control<QDateEdit>("txtDesde");
    EXPECT_EQ(since.text(), "02/02/2026");
    EXPECT_EQ(since.locale().language(), QLocale::Spanish);
}

TEST_F(JournalWindowTest, AJournalThatCannotBeWrittenIsSaidOnceWithoutWaiting) {
    open();
    gui.box.write_file(fs::path(gui.office->session().folders.val_env) / "M0015001.033", "m");
    gui.box.write_file(fs::path(gui.office->session().folders.val_env) / "M0015002.033", "m");
    gui.office->journal().flush();
    SQLite::Database other(gui.files.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    TransferDesk& desk = gui.window->transfer_panel().desk();
    with_turn(*gui.window, [&] {
        desk.add_file_to_send("M0015001.033");
        desk.add_file_to_send("M0015002.033");
    });
    EXPECT_FALSE(gui.office->journal().flush());
    QTRY_COMPARE(gui.window->findChildren<QMessageBox*>("frmBitacora").size(), 1);
    const auto boxes = gui.window->findChildren<QMessageBox*>("frmBitacora");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible());
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_EQ(desk.send_list().size(), 2u);
}

}  // namespace
}  // namespace ordano::test
