// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <string>
#include <vector>

#include "GuiOffice.h"
#include "TransferWindow.h"
#include "app/ListColumns.h"
#include "app/TransferPanel.h"
#include "base/Encoding.h"
#include "base/Scramble.h"
#include "engine/Engine.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Session.h"
#include "transfer/FtpRoutines.h"

namespace ordano {
namespace {

using test::column_texts;

constexpr const char* kDeleteFromSend =
    "¿Deseas eliminar el archivo M0015001.033 de la lista de envío?";

class TransferPanelTest : public ::testing::Test {
protected:
    TransferPanelTest() { office.open(); }

    QTreeWidget& found_files() { return *office.find<QTreeWidget>(QStringLiteral("lvwArchivos")); }
    QPushButton& button(const char* name) {
        return *office.find<QPushButton>(QString::fromLatin1(name));
    }

    // A double-click on a found file, as the clerk does it.
    void double_click_found(const QString& name) {
        QTreeWidget& files = found_files();
        QList<QTreeWidgetItem*> items = files.findItems(name, Qt::MatchExactly);
        QTreeWidgetItem* item = items.isEmpty() ? new QTreeWidgetItem(&files, {name}) : items[0];
        files.scrollToItem(item);
        const QPoint at = files.visualItemRect(item).center();
        // The press that starts a double-click, then the double-click itself.
        QTest::mousePress(files.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files.viewport(), Qt::LeftButton, {}, at);
    }
    void select(int list, int row) {
        office.list(list).setCurrentItem(office.list(list).topLevelItem(row));
    }
    // "Recibir": the pending files go to the receive list without uploading (a job of the
    // engine: this waits for its end).
    void recibir() {
        office.action("recibir").trigger();
        office.settle();
    }

    test::TransferWindow office;
};

TEST_F(TransferPanelTest, DoubleClickAddsAFoundFileOnceWithItsIconAndAnswerFolders) {
    double_click_found(QStringLiteral("M0015001.033"));
    QTreeWidget& send = office.list(0);
    ASSERT_EQ(send.topLevelItemCount(), 1);
    const QTreeWidgetItem& row = *send.topLevelItem(0);
    EXPECT_EQ(row.text(send_list::kName), "M0015001.033");
    EXPECT_EQ(row.text(send_list::kStatus), "E");
    EXPECT_EQ(row.text(send_list::kIcono), "2");
    EXPECT_EQ(row.text(send_list::kRutaPre), "/ag0015");
    EXPECT_EQ(row.text(send_list::kRutaVal), "/ag0015");
    EXPECT_FALSE(row.icon(0).isNull());
    EXPECT_TRUE(office.robot.texts.isEmpty());

    double_click_found(QStringLiteral("M0015001.033"));
    office.settle();
    EXPECT_EQ(column_texts(send), QStringList({"M0015001.033"}));
    EXPECT_EQ(office.robot.texts, QStringList({"El archivo ya esta en la lista de envío!!!"}));

    // A file of another kind, in lower case, is a new row.
    double_click_found(QStringLiteral("s0015001.033"));
    EXPECT_EQ(column_texts(send), QStringList({"M0015001.033", "s0015001.033"}));
    EXPECT_EQ(send.topLevelItem(1)->text(send_list::kIcono), "8");
    EXPECT_EQ(send.topLevelItem(1)->text(send_list::kRutaVal), "/sagarpaout");
}

TEST_F(TransferPanelTest, TheDeleteKeyRemovesFromTheSendListOnlyAndAsksFirst) {
    double_click_found(QStringLiteral("M0015001.033"));
    double_click_found(QStringLiteral("M0015002.033"));
    QTreeWidget& send = office.list(0);
    select(0, 0);
    office.robot.answer(QMessageBox::No);
    QTest::keyClick(&send, Qt::Key_Delete);
    office.settle();
    EXPECT_EQ(column_texts(send), QStringList({"M0015001.033", "M0015002.033"}));
    office.robot.answer(QMessageBox::Yes);
    QTest::keyClick(&send, Qt::Key_Delete);
    office.settle();
    EXPECT_EQ(column_texts(send), QStringList({"M0015002.033"}));
    EXPECT_EQ(office.robot.texts, QStringList({kDeleteFromSend, kDeleteFromSend}));

    recibir();
    QTreeWidget& receive = office.list(1);
    ASSERT_EQ(column_texts(receive), QStringList({"M0015002.033"}));
    select(1, 0);
    QTest::keyClick(&receive, Qt::Key_Delete);
    office.settle();
    EXPECT_EQ(column_texts(receive), QStringList({"M0015002.033"}));
    EXPECT_EQ(office.robot.texts.size(), 2);
}

TEST_F(TransferPanelTest, CtrlAChangesNothingInEitherList) {
    double_click_found(QStringLiteral("M0015001.033"));
    recibir();
    double_click_found(QStringLiteral("M0015002.033"));
    double_click_found(QStringLiteral("M0015003.033"));
    select(0, 1);
    select(1, 0);
    const QStringList send_before = column_texts(office.list(0));
    const QStringList receive_before = column_texts(office.list(1));

    QTest::keyClick(office.window.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&office.list(0), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&office.list(1), Qt::Key_A, Qt::ControlModifier);

    EXPECT_EQ(column_texts(office.list(0)), send_before);
    EXPECT_EQ(column_texts(office.list(1)), receive_before);
    EXPECT_EQ(office.list(0).selectedItems().size(), 1);
    EXPECT_EQ(office.list(0).currentItem(), office.list(0).topLevelItem(1));
    EXPECT_EQ(office.list(1).selectedItems().size(), 1);
    EXPECT_TRUE(office.robot.texts.isEmpty());
}

TEST_F(TransferPanelTest, RemovingReceiveRowsKeepsThePollingOnWhileRowsRemain) {
    double_click_found(QStringLiteral("M0015001.033"));
    double_click_found(QStringLiteral("C0015002.033"));
    recibir();
    QTreeWidget& receive = office.list(1);
    ASSERT_EQ(receive.topLevelItemCount(), 2);
    // C files expect no prevalidation answer: "—", apart from "X" for an answer received.
    EXPECT_EQ(receive.topLevelItem(1)->text(receive_list::kPrevalidation), "—");
    EXPECT_EQ(receive.topLevelItem(0)->text(receive_list::kPrevalidation), "");
    EXPECT_EQ(receive.topLevelItem(1)->text(receive_list::kArchivoVal), "C0015002.err");
    EXPECT_TRUE(office.polling_timer().isActive());

    select(1, 0);
    button("cmdPreElm").click();  // answered No
    office.settle();
    EXPECT_EQ(receive.topLevelItemCount(), 2);
    office.robot.answer(QMessageBox::Yes);
    button("cmdPreElm").click();
    office.settle();
    EXPECT_EQ(column_texts(receive), QStringList({"C0015002.033"}));
    EXPECT_TRUE(office.polling_timer().isActive());

    select(1, 0);
    office.robot.answer(QMessageBox::Yes);
    button("cmdPreElm").click();
    office.settle();
    EXPECT_EQ(receive.topLevelItemCount(), 0);
    EXPECT_FALSE(office.polling_timer().isActive());
    EXPECT_EQ(office.robot.texts.value(0),
              "¿Deseas eliminar el archivo M0015001.033 de la lista de recepción?");
}

TEST_F(TransferPanelTest, ClearingTheSendListEmptiesTheReviewBoxToo) {
    double_click_found(QStringLiteral("M0015001.033"));
    auto* review = office.find<QPlainTextEdit>(QStringLiteral("rtbPreVal"));
    review->setPlainText(QStringLiteral("REPORTE"));
    button("cmdLimpia").click();  // answered No
    office.settle();
    EXPECT_EQ(office.list(0).topLevelItemCount(), 1);
    EXPECT_EQ(review->toPlainText(), "REPORTE");
    office.robot.answer(QMessageBox::Yes);
    button("cmdLimpia").click();
    office.settle();
    EXPECT_EQ(office.list(0).topLevelItemCount(), 0);
    EXPECT_TRUE(review->toPlainText().isEmpty());
    EXPECT_EQ(office.robot.texts.value(1),
              "¿Deseas eliminar todos los elementos de la lista de envío?");
}

TEST_F(TransferPanelTest, EmptySendListMessagesAndTheSendingSessionClosedAfterEveryAction) {
    recibir();
    office.action("enviar").trigger();
    office.settle();
    EXPECT_EQ(office.robot.texts,
              QStringList({"Debes incluir al menos un archivo en la lista de recepción!!!",
                           "Debes incluir al menos un archivo en la lista de envío!!!"}));
    EXPECT_EQ(office.server.logins("ag0015"), 0);
    EXPECT_FALSE(office.polling_timer().isActive());
    EXPECT_FALSE(office.window->transfer_panel().desk().sending_run().session().connected());
}

TEST_F(TransferPanelTest, AWindowsActionClosesAnOpenSendingSessionButDetenerWithNothingToStop) {
    Engine& engine = office.window->engine();
    FtpSession& sending = engine.desk().sending_run().session();
    const auto open_sending = [&] {
        engine.with_turn(
            Request::EditLists,
            [&] {
                ordano::log_in(sending, false, office.office->session(), office.office->params(),
                               engine.ui());
            },
            Engine::Where::EngineThread);
        office.settle();
        ASSERT_TRUE(sending.connected());
    };
    open_sending();
    office.action("detener").trigger();  // the polling is off: nothing asked, nothing done
    office.settle();
    EXPECT_TRUE(sending.connected());
    office.action("caterr").trigger();
    office.settle();
    EXPECT_FALSE(sending.connected());
    EXPECT_EQ(office.server.logins("ag0015"), 1);
}

TEST_F(TransferPanelTest, DetenerAsksThenStopsThePollingAndEmptiesTheReceiveList) {
    office.action("detener").trigger();  // polling off: nothing asked
    office.settle();
    EXPECT_TRUE(office.robot.texts.isEmpty());

    double_click_found(QStringLiteral("M0015001.033"));
    recibir();
    office.action("detener").trigger();  // answered No
    office.settle();
    EXPECT_EQ(office.list(1).topLevelItemCount(), 1);
    EXPECT_TRUE(office.polling_timer().isActive());

    office.robot.answer(QMessageBox::Yes);
    office.action("detener").trigger();
    office.settle();
    EXPECT_EQ(office.list(1).topLevelItemCount(), 0);
    EXPECT_FALSE(office.polling_timer().isActive());
    const QString question =
        "¿Deseas detener la recepción de archivos en proceso?\r\n\r\n1 archivo dejará la "
        "lista de recepción sin las respuestas que espera. Podrás recibirlas después: vuelve a "
        "poner el archivo en la lista de envío y oprime «Recibir».";
    EXPECT_EQ(office.robot.texts, QStringList({question, question}));
    // The journal says what happened to it: stopped, not sent and forgotten.
    office.office->journal().flush();
    const JournalReader journal(office.office->journal().database(), office.clock.now(), 60);
    EXPECT_EQ(journal.latest_of("M0015001.033")->status, "detenido");
}

// Detener counts the files that leave the receive list.
TEST_F(TransferPanelTest, DetenerSaysHowManyAwaitedFilesLeaveTheList) {
    for (const char* name : {"M0015001.033", "C0015002.033", "D0015003.033"}) {
        double_click_found(QString::fromLatin1(name));
    }
    recibir();
    office.action("detener").trigger();  // answered No
    office.settle();
    ASSERT_EQ(office.robot.texts.size(), 1);
    EXPECT_TRUE(office.robot.texts[0].contains(
        QStringLiteral("3 archivos dejarán la lista de recepción sin las respuestas que esperan")))
        << office.robot.texts[0].toStdString();
    EXPECT_EQ(office.list(1).topLevelItemCount(), 3);
}

// During a run each file sent keeps its name on the send list, waiting for its answers, until
// the run ends and takes it off.
TEST_F(TransferPanelTest, ASentRowKeepsItsNameUntilTheRunTakesItOff) {
    office.write_send_file("C0015001.033", "c");
    office.write_send_file("M0015002.033", std::string(300000, 'M'));
    double_click_found(QStringLiteral("C0015001.033"));
    double_click_found(QStringLiteral("M0015002.033"));
    test::FtpFaults slow;
    slow.throttle_bytes_per_second = 50000;
    office.server.set_faults(slow);

    QTreeWidget& send = office.list(0);
    bool blank_seen = false;
    QStringList sent_seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (int i = 0; i < send.topLevelItemCount(); ++i) {
            const QTreeWidgetItem& row = *send.topLevelItem(i);
            blank_seen = blank_seen || row.text(send_list::kName).isEmpty();
            if (row.text(send_list::kStatus).isEmpty() && !sent_seen.contains(row.text(0))) {
                sent_seen << row.text(0) + " " + row.text(send_list::kOutcome);
            }
        }
    });
    watch.start(20);
    office.action("enviar").trigger();
    office.settle();
    watch.stop();

    EXPECT_FALSE(blank_seen);
    EXPECT_TRUE(sent_seen.contains(QStringLiteral("C0015001.033 esperando")))
        << sent_seen.join('\n').toStdString();
    EXPECT_EQ(send.topLevelItemCount(), 0);
    EXPECT_EQ(office.list(1).topLevelItemCount(), 2);
}

TEST_F(TransferPanelTest, AFailureBoxKeepsItsTextAndSaysWhereAndWhyInItsDetails) {
    office.write_send_file("M0015001.033", "m");
    double_click_found(QStringLiteral("M0015001.033"));
    office.server.set_faults({.refuse_logins = true});
    office.action("enviar").trigger();
    office.settle();
    ASSERT_EQ(office.robot.texts, QStringList({"Usuario o Contraseña no aceptado"}));
    const QString details = office.robot.details.front();
    EXPECT_EQ(details, QStringLiteral("Los archivos que no se enviaron siguen en la lista de "
                                      "envío; vuelve a oprimir «Enviar/Recibir» cuando se "
                                      "resuelva.\n"
                                      "Qué hacer: confirma con el administrador del servidor el "
                                      "usuario y la contraseña de la oficina.\n\n"
                                      "Servidor: 127.0.0.1, puerto %1\n"
                                      "Usuario: ag0015\n"
                                      "Paso: conexión e inicio de sesión\n"
                                      "Error No. 1013\n"
                                      "Última respuesta del servidor: 530\n"
                                      "Causa: El servidor rechazó el usuario o la contraseña "
                                      "(código de libcurl 67)")
                           .arg(office.server.port()));
    EXPECT_FALSE(details.contains(QString::fromStdString(office.office->session().pass_ftp)));
}

// "Enviar/Recibir" in the window: the file goes up while the window keeps running (the
// button disabled, the progress in the status bar), and the polling then brings its answers.
TEST_F(TransferPanelTest, EnviarSendsAnMFileAndThePollingFetchesItsAnswers) {
    const std::string bytes = [] {
        std::string out;
        for (int i = 0; out.size() < 300000; ++i) {
            out += "501|" + std::to_string(i) + "|REGISTRO DE PRUEBA|\r\n";
        }
        return out;
    }();
    office.write_send_file("M0015001.033", bytes);
    double_click_found(QStringLiteral("M0015001.033"));
    test::FtpFaults slow;
    slow.throttle_bytes_per_second = 50000;
    office.server.set_faults(slow);

    QAction& enviar = office.action("enviar");
    auto* progress = office.find<QLabel>(QStringLiteral("lblProgreso"));
    bool disabled_seen = false;
    bool recibir_disabled = false;
    QStringList progress_seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (enviar.isEnabled()) {
            return;
        }
        disabled_seen = true;
        recibir_disabled = !office.action("recibir").isEnabled();
        enviar.trigger();  // a second click while the run waits does nothing
        if (progress->isVisible() && !progress->text().isEmpty()) {
            progress_seen << progress->text();
        }
    });
    watch.start(25);
    enviar.trigger();
    office.settle();
    watch.stop();

    EXPECT_EQ(office.server.file_bytes("valin/M0015001.033"), bytes);
    EXPECT_EQ(office.server.logins("ag0015"), 1);
    EXPECT_TRUE(disabled_seen);
    EXPECT_TRUE(recibir_disabled);
    EXPECT_TRUE(enviar.isEnabled());
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(progress_seen.filter(QStringLiteral("Enviando M0015001.033 (archivo 1 de 1): "))
                    .filter(QStringLiteral(" KB de 293.0 KB"))
                    .size() > 0)
        << progress_seen.join('\n').toStdString();

    EXPECT_EQ(office.list(0).topLevelItemCount(), 0);
    QTreeWidget& receive = office.list(1);
    ASSERT_EQ(receive.topLevelItemCount(), 1);
    const QTreeWidgetItem& row = *receive.topLevelItem(0);
    const std::string val_rec = office.office->session().folders.val_rec;
    EXPECT_EQ(row.text(receive_list::kName), "M0015001.033");
    EXPECT_EQ(row.text(receive_list::kPrevalidation), "");
    EXPECT_EQ(row.text(receive_list::kValidation), "");
    EXPECT_EQ(row.text(receive_list::kSentAt), "10:30 a.m.");
    EXPECT_EQ(row.text(receive_list::kRutaPrev), "/ag0015");
    EXPECT_EQ(row.text(receive_list::kArchivoPrev), "k0015001.033");
    EXPECT_EQ(row.text(receive_list::kArchivoVal), "M0015001.err");
    EXPECT_EQ(row.text(receive_list::kRutaDest).toStdString(), val_rec);
    EXPECT_EQ(row.text(receive_list::kIcono), "2");
    EXPECT_TRUE(office.polling_timer().isActive());
    EXPECT_EQ(office.polling_timer().interval(), 2000);

    office.server.clear_faults();
    office.server.put_file("ag0015/k0015001.033", "PREVALIDACION|\r\n");
    office.server.put_file("ag0015/M0015001.err", "VALIDACION|\r\n");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return receive.topLevelItemCount() == 0 && !office.polling_timer().isActive(); },
        20000));

    QTreeWidget& send = office.list(0);
    EXPECT_EQ(column_texts(send), QStringList({"k0015001.033", "M0015001.err"}));
    EXPECT_EQ(column_texts(send, send_list::kStatus), QStringList({"K", "R"}));
    ASSERT_EQ(send.topLevelItemCount(), 2);
    EXPECT_FALSE(send.topLevelItem(0)->icon(0).isNull());
    EXPECT_FALSE(send.topLevelItem(1)->icon(0).isNull());
    EXPECT_EQ(test::Sandbox::read_file(std::filesystem::path(val_rec) / "k0015001.033"),
              "PREVALIDACION|\r\n");
    EXPECT_EQ(test::Sandbox::read_file(std::filesystem::path(val_rec) / "M0015001.err"),
              "VALIDACION|\r\n");
    EXPECT_EQ(office.polling_timer().interval(), 5000);
    EXPECT_TRUE(office.robot.texts.isEmpty()) << office.robot.texts.join('\n').toStdString();
}

// "Salir" answered Yes while the first of three uploads crawls: that upload is cancelled and
// taken off the server, and the other two never start. The files are larger than the system
// buffers at once: an upload whose every byte has left counts as sent.
TEST_F(TransferPanelTest, SalirDuringASendingRunStopsItAtOnce) {
    const std::vector<std::string> names = {"M0015001.033", "M0015002.033", "M0015003.033"};
    for (const auto& name : names) {
        office.write_send_file(name, std::string(8 * 1000 * 1000, 'M'));
        double_click_found(QString::fromStdString(name));
    }
    test::FtpFaults slow;
    slow.throttle_bytes_per_second = 20000;
    office.server.set_faults(slow);

    auto* progress = office.find<QLabel>(QStringLiteral("lblProgreso"));
    bool asked = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (asked || !progress->text().contains(QStringLiteral(": "))) {
            return;
        }
        asked = true;
        office.robot.answer(QMessageBox::Yes);
        office.action("salir").trigger();
    });
    watch.start(20);
    office.action("enviar").trigger();
    office.settle();
    watch.stop();

    EXPECT_TRUE(asked);
    for (const auto& name : names) {
        EXPECT_FALSE(office.server.file_bytes("valin/" + name).has_value()) << name;
    }
    EXPECT_EQ(office.list(1).topLevelItemCount(), 0);
    // The question says what is under way and what becomes of it.
    ASSERT_EQ(office.robot.texts.size(), 1);
    const QString question = office.robot.texts[0];
    EXPECT_TRUE(question.startsWith(
        QStringLiteral("¿Deseas Salir del Sistema?\r\n\r\nHay un envío en curso (Enviando "
                       "M0015001.033 (archivo 1 de 3): ")))
        << question.toStdString();
    EXPECT_TRUE(question.endsWith(
        QStringLiteral("). Se detendrá de forma segura: lo que esté a medio transferir se "
                       "cancela y no queda a medias ni en el servidor ni en este equipo.")))
        << question.toStdString();
}

TEST_F(TransferPanelTest, APendingPaymentFileAsksForThePasswordAndTheCloseBoxSendsNothing) {
    office.write_send_file("E0015001.033", "E|00|\r\n");
    double_click_found(QStringLiteral("E0015001.033"));
    office.office->session().pass_aceptada = true;
    QStringList prompts;
    office.robot.on_window = [&](QWidget& modal) {
        prompts << modal.objectName();
        test::press_close_box(modal);
    };
    office.action("enviar").trigger();
    office.settle();

    EXPECT_EQ(prompts, QStringList({"frmPassword"}));
    EXPECT_FALSE(office.office->session().pass_aceptada);
    EXPECT_EQ(column_texts(office.list(0)), QStringList({"E0015001.033"}));
    EXPECT_EQ(office.list(1).topLevelItemCount(), 0);
    EXPECT_FALSE(office.server.file_bytes("pagin/E0015001.033").has_value());
    EXPECT_TRUE(office.polling_timer().isActive());
    EXPECT_TRUE(office.robot.texts.isEmpty());
}

TEST_F(TransferPanelTest, RecibirAsksForThePasswordOnlyForPaymentFilesAndKeepsThemOnCancel) {
    double_click_found(QStringLiteral("M0015001.033"));
    double_click_found(QStringLiteral("e0015001.040"));
    QStringList prompts;
    office.robot.on_window = [&](QWidget& modal) {
        prompts << modal.objectName();
        modal.findChild<QPushButton*>(QStringLiteral("cmdPassword(1)"))->click();
    };
    recibir();
    office.settle();
    EXPECT_EQ(prompts, QStringList({"frmPassword"}));
    EXPECT_EQ(column_texts(office.list(0)), QStringList({"e0015001.040"}));
    EXPECT_EQ(column_texts(office.list(1)), QStringList({"M0015001.033"}));
    EXPECT_TRUE(office.polling_timer().isActive());
    EXPECT_EQ(office.server.logins("ag0015"), 0);
}

// The server's flag "S" asks for the password on the run; a wrong one is refused in the
// window, which stays up, and the right one lets the payment file go.
TEST_F(TransferPanelTest, TheServersPaymentFlagAsksAndTheRightPasswordSendsThePaymentFile) {
    office.server.put_file("update/cfps0015.rgs",
                           "S" + text::utf8_to_cp1252(scramble("Pago#15")) + "\r\n");
    office.write_send_file("E0015001.033", "E|03|\r\n");
    double_click_found(QStringLiteral("E0015001.033"));
    int showings = 0;
    office.robot.on_window = [&](QWidget& modal) {
        ++showings;
        auto* box = modal.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        QTest::keyClicks(box, showings == 1 ? "pago#15" : "Pago#15");
        modal.findChild<QPushButton*>(QStringLiteral("cmdPassword(0)"))->click();
    };
    office.action("enviar").trigger();
    office.settle();

    EXPECT_EQ(showings, 2);
    EXPECT_EQ(office.robot.texts, QStringList({"Contraseña de pago electrónico no válida"}));
    EXPECT_EQ(office.office->session().pass_ban, "Pago#15");
    EXPECT_EQ(office.server.file_bytes("pagin/E0015001.033"), "E|03|\r\n");
    EXPECT_EQ(office.list(0).topLevelItemCount(), 0);
    ASSERT_EQ(office.list(1).topLevelItemCount(), 1);
    EXPECT_EQ(office.list(1).topLevelItem(0)->text(receive_list::kArchivoVal), "a0015001.033");
    EXPECT_EQ(office.list(1).topLevelItem(0)->text(receive_list::kIcono), "12");
}

// "Detener" while a tick is fetching a slow answer: the download shows its progress, the stop
// cancels it, and no partial answer is left in the receive folder.
TEST_F(TransferPanelTest, DetenerDuringASlowDownloadCancelsItAndLeavesNoPartialAnswer) {
    double_click_found(QStringLiteral("M0015001.033"));
    recibir();
    office.server.put_file("ag0015/k0015001.033", std::string(400000, 'K'));
    test::FtpFaults slow;
    slow.throttle_bytes_per_second = 20000;
    office.server.set_faults(slow);

    auto* progress = office.find<QLabel>(QStringLiteral("lblProgreso"));
    QString progress_seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!progress_seen.isEmpty() || !progress->text().contains(QStringLiteral(": "))) {
            return;
        }
        progress_seen = progress->text();
        office.robot.answer(QMessageBox::Yes);
        office.action("detener").trigger();
    });
    watch.start(20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !progress_seen.isEmpty(); }, 20000));
    office.settle();
    watch.stop();

    EXPECT_TRUE(progress_seen.startsWith(QStringLiteral("Recibiendo k0015001.033: ")))
        << progress_seen.toStdString();
    EXPECT_EQ(office.list(1).topLevelItemCount(), 0);
    EXPECT_FALSE(office.polling_timer().isActive());
    EXPECT_EQ(column_texts(office.list(0)), QStringList());
    EXPECT_FALSE(std::filesystem::exists(
        std::filesystem::path(office.office->session().folders.val_rec) / "k0015001.033"));
    EXPECT_TRUE(office.robot.texts.value(0).startsWith(
        QStringLiteral("¿Deseas detener la recepción de archivos en proceso?\r\n\r\n1 archivo")))
        << office.robot.texts.join('\n').toStdString();
}

}  // namespace
}  // namespace ordano
