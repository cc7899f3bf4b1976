#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "app/JournalView.h"
#include "app/TransferPanel.h"
#include "dialogs/HistoryModel.h"
#include "dialogs/HistoryWindow.h"
#include "gui/GuiOffice.h"
#include "store/Journal.h"
#include "store/Session.h"
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
        desk.receive_list().update(answered.id, [](ReceiveRow& r) { r.val_state = "X"; });
        desk.journal().answer_stored(answered.id, false, file);
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
        history = gui.window->findChild<HistoryWindow*>("frmHistorial");
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

TEST_F(HistoryWindowTest, ExportsTheShownRowsAsCsv) {
    const fs::path target = gui.box.path() / "historial.csv";
    history->set_save_file_picker(
        [&](QWidget*, const QString&) { return QString::fromStdString(target.string()); });
    control<QComboBox>("cboTipo").setCurrentText("C");
    control<QPushButton>("cmdExportar").click();
    EXPECT_EQ(Sandbox::read_file(target),
              "\xEF\xBB\xBF"
              "Fecha y hora,Archivo,Tipo,Estado,Respuestas\r\n"
              "2026-02-02 10:00:00,C0015002.033,C,aceptado,C0015002.err\r\n"
              "2026-02-02 09:00:00,C0015001.033,C,atrasado,C0015001.err (esperando)\r\n");
}

TEST_F(HistoryWindowTest, EnterOpensTheAnswersReportAndSaysWhenThereIsNone) {
    auto& table = control<QTableView>("lvwHistorial");
    table.setCurrentIndex(history->model().index(1, 0));
    QTest::keyClick(&table, Qt::Key_Return);
    EXPECT_THAT(gui.find<QPlainTextEdit>("rtbPreVal")->toPlainText().toStdString(),
                ::testing::HasSubstr("Archivo: C0015002.ERR"));

    history->open_row(0);
    ASSERT_EQ(gui.ui.messages.size(), 1u);
    EXPECT_EQ(gui.ui.messages[0].text, "El archivo M0015003.033 todavía no tiene respuesta.");
}

TEST_F(JournalWindowTest, AJournalThatCannotBeWrittenIsSaidOnceWithoutWaiting) {
    open();
    gui.box.write_file(fs::path(gui.office->session().folders.val_env) / "M0015001.033", "m");
    gui.box.write_file(fs::path(gui.office->session().folders.val_env) / "M0015002.033", "m");
    gui.office->journal().flush();
    SQLite::Database other(gui.files.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    TransferDesk& desk = gui.window->transfer_panel().desk();
    desk.lvwArchivos_DblClick("M0015001.033");
    desk.lvwArchivos_DblClick("M0015002.033");
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
