// SPDX-License-Identifier: Apache-2.0
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "office/Session.h"
#include "transfer/ListActions.h"
#include "transfer/TransferFixture.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ReceptionTest : public TransferTest {
protected:
    void tick() { desk_->polling_tick(); }
    // Detener once the person said Yes, as the engine does it.
    void detener() {
        desk_->stop_polling();
        desk_->close_polling_session();
        desk_->close_sending_session();
    }
    // Sends the files, so the receive list awaits their answers.
    void send_files(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            add_file(name, "data of " + name);
        }
        enviar();
        ASSERT_EQ(receive().size(), names.size());
    }
    std::string local_bytes(const fs::path& file) {
        return fs::exists(file) ? Sandbox::read_file(file) : "<missing>";
    }
    std::vector<std::string> send_statuses() const {
        std::vector<std::string> out;
        for (const auto& row : desk_->send_list().rows()) {
            out.push_back(row.text + " " + row.status + " " + std::to_string(row.small_icon));
        }
        return out;
    }
    std::string val_rec() { return session().folders.val_rec; }
    // How many commands the server received that start with `verb`.
    // Two answers, the listing failing as `faults` say from the first look on: each answer is
    // still fetched, by name, and the folder is listed once in the session.
    void expect_answers_fetched_by_name(const FtpFaults& faults) {
        send_files({"C0015001.033", "C0015002.033"});
        server_.put_file("ag0015/C0015001.err", "1");
        server_.set_faults(faults);
        tick();
        server_.put_file("ag0015/C0015002.err", "2");
        tick();
        EXPECT_THAT(send_statuses(), ElementsAre("C0015001.err R 2", "C0015002.err R 2"));
        EXPECT_EQ(commands("NLST"), 1);
        EXPECT_THAT(ui_.messages, IsEmpty());
    }
    long commands(std::string_view verb) const {
        const auto all = server_.commands();
        return std::count_if(all.begin(), all.end(),
                             [&](const std::string& c) { return c.starts_with(verb); });
    }
};

TEST_F(ReceptionTest, CompleteExchangeForEveryKind) {
    ui_.password_prompt(true);
    send_files({"M0015001.033", "C0015002.033", "D0015003.033", "E0015004.033", "S0015005.033"});
    const std::vector<ReceiveRow> rows = receive().rows();
    for (const auto& row : rows) {
        answer_on_server(row, "pre \x01 " + row.text, "val \xe9 " + row.text);
    }
    EXPECT_EQ(timer().interval(), 2000);

    tick();

    EXPECT_EQ(timer().interval(), 5000);
    const auto& folders = session().folders;
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "k0015001.033"), "pre \x01 M0015001.033");
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "M0015001.err"), "val \xe9 M0015001.033");
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015002.err"), "val \xe9 C0015002.033");
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "D0015003.erp"), "pre \x01 D0015003.033");
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "D0015003.err"), "val \xe9 D0015003.033");
    // A payment file's prevalidation answer goes to the SAAI M3 receive folder.
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "ke001504.033"), "pre \x01 E0015004.033");
    EXPECT_EQ(local_bytes(fs::path(folders.pag_rec) / "a0015004.033"), "val \xe9 E0015004.033");
    EXPECT_EQ(local_bytes(fs::path(folders.sag_rec) / "x0015005.033"), "val \xe9 S0015005.033");

    EXPECT_THAT(send_statuses(),
                ElementsAre("k0015001.033 K 1", "M0015001.err R 2", "C0015002.err R 2",
                            "D0015003.erp K 1", "D0015003.err R 2", "ke001504.033 K 1",
                            "a0015004.033 R 10", "x0015005.033 R 8"));
    EXPECT_EQ(send().current_row(), send().at(send().size() - 1).id);
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_FALSE(timer().enabled());
    EXPECT_FALSE(desk_->poller().session().connected());
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(ReceptionTest, ListsEachFolderOnceAndFetchesOnlyTheAnswersThere) {
    ui_.password_prompt(true);
    send_files({"M0015001.033", "E0015002.033", "S0015003.033", "C0015004.033"});
    server_.put_file("ag0015/M0015001.err", "m");
    server_.put_file("ke001502.033", "ke");  // a payment file's first answer: the start folder
    server_.put_file("ag0015/C0015004.err", "c");
    // Older answers: each folder lists names, so none of the answers missing is tried.
    for (const char* old :
         {"ag0015/C0015099.err", "kroout/a0015999.032", "sagarpaout/x0015999.032"}) {
        server_.put_file(old, "old");
    }
    const long retrs_before = commands("RETR");

    tick();

    EXPECT_THAT(send_statuses(),
                ElementsAre("M0015001.err R 2", "ke001502.033 K 1", "C0015004.err R 2"));
    EXPECT_THAT(receive_texts(), ElementsAre("M0015001.033", "E0015002.033", "S0015003.033"));
    EXPECT_EQ(commands("NLST"), 4);  // "", /ag0015, /kroout, /sagarpaout
    EXPECT_EQ(commands("RETR") - retrs_before, 3);
    // Downloads never ask SIZE; uploads ask it of their temporary copy before renaming it.
    EXPECT_EQ(commands("SIZE") - commands("SIZE ."), 0);
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
}

TEST_F(ReceptionTest, AnswersOfAServerRefusingSizeAreFetched) {
    send_files({"C0015001.033"});
    server_.put_file("ag0015/C0015001.err", "val");
    server_.set_faults({.refuse_size = true});
    tick();
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015001.err"), "val");
    EXPECT_THAT(receive_texts(), IsEmpty());
}

TEST_F(ReceptionTest, NameDifferingInCaseIsFetchedAndStoredUnderTheAwaitedName) {
    send_files({"C0015001.033", "C0015002.033"});
    server_.put_file("ag0015/c0015001.ERR", "case");
    server_.put_file("ag0015/C0015002.ERR", "other spelling");
    server_.put_file("ag0015/C0015002.err", "exact");
    tick();
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015001.err"), "case");
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015002.err"), "exact");
    EXPECT_THAT(files_in(val_rec()), ElementsAre("C0015001.err", "C0015002.err"));
    EXPECT_THAT(send_statuses(), ElementsAre("C0015001.err R 2", "C0015002.err R 2"));
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
}

TEST_F(ReceptionTest, AnswerAppearingAfterTheListingIsFetchedOnTheNextTick) {
    send_files({"C0015001.033", "C0015002.033"});
    server_.put_file("ag0015/C0015001.err", "1");
    // Yields: after the login, then after the first download (the listing is behind us).
    ui_.on_next_yield([] {});
    ui_.on_next_yield([this] { server_.put_file("ag0015/C0015002.err", "2"); });
    tick();
    EXPECT_THAT(send_statuses(), ElementsAre("C0015001.err R 2"));
    tick();
    EXPECT_THAT(send_statuses(), ElementsAre("C0015001.err R 2", "C0015002.err R 2"));
    EXPECT_THAT(receive_texts(), IsEmpty());
}

TEST_F(ReceptionTest, RefusedListingMeansTryingEachAnswerForTheRestOfTheSession) {
    expect_answers_fetched_by_name({.listing = FtpFaults::Listing::Unsupported});
}

// A listing too long to read is a refused one: the answers are still fetched, by name, and
// the folder is not listed again.
TEST_F(ReceptionTest, AListingPastItsBoundMeansTryingEachAnswerByName) {
    expect_answers_fetched_by_name({.listing_padding = 70 * 1024 * 1024});
}

TEST_F(ReceptionTest, EmptyListingOfAFolderHoldingAnswersIsFoundOutAndTriedByName) {
    send_files({"C0015001.033", "C0015002.033", "C0015003.033"});
    server_.put_file("ag0015/C0015002.err", "2");
    server_.put_file("ag0015/C0015003.err", "3");
    server_.set_faults({.listing = FtpFaults::Listing::Empty});
    tick();  // the first answer is tried anyway, and is not there
    EXPECT_THAT(send_statuses(), IsEmpty());
    tick();  // the second is: from then on every answer is tried by name
    EXPECT_THAT(send_statuses(), ElementsAre("C0015002.err R 2", "C0015003.err R 2"));
    server_.put_file("ag0015/C0015001.err", "1");
    tick();
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_EQ(commands("NLST"), 2);
}

TEST_F(ReceptionTest, AnswersArrivingOnLaterTicks) {
    send_files({"M0015001.033"});
    const ReceiveRow row = receive().at(0);
    server_.put_file("ag0015/k0015001.033", "pre");
    tick();
    EXPECT_EQ(receive().at(0).prev_state, "X");
    EXPECT_EQ(receive().at(0).val_state, "");
    EXPECT_TRUE(timer().enabled());
    EXPECT_FALSE(desk_->poller().session().connected());

    tick();  // nothing new: nothing changes, the prevalidation answer is not fetched again
    EXPECT_THAT(send_statuses(), ElementsAre("k0015001.033 K 1"));

    server_.put_file("ag0015/M0015001.err", "val");
    tick();
    EXPECT_THAT(send_statuses(), ElementsAre("k0015001.033 K 1", "M0015001.err R 2"));
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_FALSE(timer().enabled());
}

TEST_F(ReceptionTest, EmptyAnswerIsDiscardedUntilReplaced) {
    send_files({"C0015001.033"});
    server_.put_file("ag0015/C0015001.err", "");
    tick();
    EXPECT_FALSE(fs::exists(fs::path(val_rec()) / "C0015001.err"));
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
    EXPECT_THAT(receive_texts(), ElementsAre("C0015001.033"));
    EXPECT_THAT(send_statuses(), IsEmpty());

    server_.put_file("ag0015/C0015001.err", "now");
    tick();
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015001.err"), "now");
    EXPECT_THAT(receive_texts(), IsEmpty());
}

TEST_F(ReceptionTest, AnswerAlreadyInTheReceiveFolderIsOverwritten) {
    send_files({"C0015001.033"});
    sandbox_.write_file(fs::path(val_rec()) / "C0015001.err", "old and longer");
    server_.put_file("ag0015/C0015001.err", "new");
    tick();
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015001.err"), "new");
    EXPECT_THAT(files_in(val_rec()), ElementsAre("C0015001.err"));
}

TEST_F(ReceptionTest, DownloadDroppedMidwayLeavesNoTruncatedAnswer) {
    send_files({"C0015001.033"});
    const std::string answer(100000, 'a');
    server_.put_file("ag0015/C0015001.err", answer);
    cut_transfers_after(2000);
    tick();
    EXPECT_THAT(files_in(val_rec()), IsEmpty());
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
    EXPECT_THAT(receive_texts(), ElementsAre("C0015001.033"));
    EXPECT_TRUE(timer().enabled());
    EXPECT_FALSE(desk_->poller().session().connected());
    // Each try logs in again on a fresh connection, a bounded number of times.
    EXPECT_EQ(server_.logins("ag0015"), 1 + ReceptionPoller::kAttempts);

    server_.clear_faults();
    tick();
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "C0015001.err"), answer);
    EXPECT_THAT(receive_texts(), IsEmpty());
}

// A refused login is tried a few times a tick and said once for the whole outage, however
// many ticks it lasts; its end is told too, and a later outage is said again.
TEST_F(ReceptionTest, RefusedLoginIsTriedBoundedlyAndSaidOncePerOutage) {
    std::vector<std::string> outage;
    desk_->poller().on_outage([&](const std::optional<NumberedError>& failure) {
        outage.push_back(failure ? std::to_string(failure->number()) : "reconectado");
    });
    send_files({"C0015001.033", "C0015002.033"});
    server_.put_file("ag0015/C0015001.err", "val");
    refuse_logins();
    tick();
    EXPECT_THAT(ui_.texts(), ElementsAre("Usuario o Contraseña no válido"));
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(server_.refused_logins("ag0015"), ReceptionPoller::kAttempts);
    EXPECT_TRUE(timer().enabled());
    EXPECT_THAT(receive_texts(), ElementsAre("C0015001.033", "C0015002.033"));

    tick();  // the next tick tries again, and says nothing more
    EXPECT_EQ(server_.refused_logins("ag0015"), 2 * ReceptionPoller::kAttempts);
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(desk_->poller().in_outage());

    server_.clear_faults();
    tick();
    EXPECT_THAT(receive_texts(), ElementsAre("C0015002.033"));
    EXPECT_FALSE(desk_->poller().in_outage());
    refuse_logins();
    tick();
    EXPECT_EQ(ui_.messages.size(), 2u);
    EXPECT_THAT(outage, ElementsAre("1013", "reconectado", "1013"));
}

TEST_F(ReceptionTest, UnreachableServerOnATick) {
    send_files({"C0015001.033"});
    session().host = "127.0.0.1:1";
    tick();
    EXPECT_THAT(ui_.texts(), ElementsAre("No hay conexión al servidor de ZORVANIK\r\n\r\nRevisa "
                                         "tu Conexión de Red o tu Contraseña de Acceso"));
    EXPECT_TRUE(timer().enabled());
}

// A look asked for while the last answers came in, and failing once they are all in, tells
// nothing: its box would say the files still wait on a list already empty.
TEST_F(ReceptionTest, ALookFailingOnceEveryAnswerIsInSaysNothing) {
    send_files({"C0015001.033"});
    server_.put_file("ag0015/C0015001.err", "val");
    tick();
    ASSERT_THAT(receive_texts(), IsEmpty());
    refuse_logins();
    tick();
    EXPECT_THAT(ui_.texts(), IsEmpty());
    EXPECT_FALSE(desk_->poller().in_outage());
}

TEST_F(ReceptionTest, EmptyReceiveListLeavesTheTimerOn) {
    add_file("P0015001.033", "no route");
    enviar();
    EXPECT_TRUE(timer().enabled());
    tick();
    EXPECT_TRUE(timer().enabled());
    EXPECT_EQ(server_.logins("ag0015"), 2);
}

TEST_F(ReceptionTest, UnwritableReceiveFolderIsSaidOnceAndTheRowWaits) {
    send_files({"C0015001.033"});
    server_.put_file("ag0015/C0015001.err", "val");
    const fs::path missing = sandbox_.path() / "no" / "such";
    receive().update(receive().at(0).id, [&](ReceiveRow& r) { r.ruta_dest = missing.string(); });
    tick();
    tick();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].text.find(missing.string()), std::string::npos);
    EXPECT_THAT(receive_texts(), ElementsAre("C0015001.033"));
    EXPECT_EQ(receive().at(0).val_state, "");
    EXPECT_THAT(send_statuses(), IsEmpty());
    EXPECT_EQ(server_.file_bytes("ag0015/C0015001.err"), "val");

    fs::create_directories(missing);
    tick();
    EXPECT_EQ(local_bytes(missing / "C0015001.err"), "val");
    EXPECT_THAT(receive_texts(), IsEmpty());
}

TEST_F(ReceptionTest, RowRemovedDuringATickIsNotResurrected) {
    one_session_at_a_time();
    send_files({"M0015001.033", "M0015002.033"});
    const RowId first = receive().at(0).id;
    for (const auto& row : receive().rows()) {
        answer_on_server(row, "pre", "val");
    }
    // Yields: after the login, then after the first row's prevalidation download.
    ui_.on_next_yield([] {});
    ui_.on_next_yield([this, first] {
        ui_.answer(MessageAnswer::Yes);
        desk_->remove_from_receive(first);
        tick();  // a tick let through meanwhile does nothing
    });
    tick();
    EXPECT_THAT(send_statuses(), ElementsAre("k0015002.033 K 1", "M0015002.err R 2"));
    EXPECT_FALSE(fs::exists(fs::path(val_rec()) / "k0015001.033"));
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_FALSE(timer().enabled());
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
    EXPECT_EQ(server_.logins("ag0015"), 2);  // the send, and one tick
}

TEST_F(ReceptionTest, AllRowsRemovedDuringATick) {
    send_files({"C0015001.033", "C0015002.033"});
    // Both rows go while the tick logs in: it then finds nothing to fetch.
    ui_.on_next_yield([this] {
        ui_.answer(MessageAnswer::Yes);
        ui_.answer(MessageAnswer::Yes);
        desk_->remove_from_receive(receive().at(0).id);
        desk_->remove_from_receive(receive().at(0).id);
    });
    server_.put_file("ag0015/C0015001.err", "val");
    tick();
    EXPECT_THAT(send_statuses(), IsEmpty());
    EXPECT_THAT(files_in(val_rec()), IsEmpty());
    EXPECT_FALSE(timer().enabled());
}

TEST_F(ReceptionTest, DetenerDuringASlowDownloadCancelsIt) {
    send_files({"C0015001.033"});
    server_.put_file("ag0015/C0015001.err", std::string(200000, 'z'));
    throttle(20000);
    ui_.while_blocking_after = std::chrono::milliseconds(700);
    bool stopped = false;
    // The login is quick; Detener comes while the download crawls.
    ui_.while_blocking = [this, &stopped] {
        detener();
        stopped = true;
    };
    const auto started = std::chrono::steady_clock::now();
    tick();
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(stopped);
    EXPECT_LT(took, std::chrono::seconds(8));  // far less than the 10 s the download needs
    EXPECT_THAT(ui_.texts(), IsEmpty());
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_FALSE(timer().enabled());
    EXPECT_FALSE(desk_->poller().session().connected());
    EXPECT_THAT(files_in(val_rec()), IsEmpty());
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
    EXPECT_THAT(send_statuses(), IsEmpty());
}

TEST_F(ReceptionTest, DetenerBetweenTwoDownloadsEndsTheTick) {
    send_files({"C0015001.033", "C0015002.033"});
    server_.put_file("ag0015/C0015001.err", "1");
    server_.put_file("ag0015/C0015002.err", "2");
    // Yields: after the login, after the first download, after its copy; then the stop.
    ui_.on_next_yield([] {});
    ui_.on_next_yield([] {});
    ui_.on_next_yield([this] { detener(); });
    tick();
    EXPECT_THAT(send_statuses(), ElementsAre("C0015001.err R 2"));
    EXPECT_THAT(files_in(val_rec()), ElementsAre("C0015001.err"));
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_FALSE(timer().enabled());
    EXPECT_FALSE(desk_->poller().session().connected());
    EXPECT_FALSE(desk_->poller().tick_in_progress());
}

TEST_F(ReceptionTest, DetenerWithThePollingOffChangesNothing) {
    send_files({"C0015001.033"});
    timer().set_enabled(false);
    detener();
    EXPECT_FALSE(timer().enabled());
    EXPECT_EQ(receive().size(), 1u);
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(ReceptionTest, ManualReceptionWithoutPaymentEntries) {
    add_file("M0015001.010", "any day");
    add_file("P0015002.033", "no route");
    sandbox_.write_file(session().paths.work_folder / "M0015001.err", "stale");
    desk_->receive();
    EXPECT_EQ(ui_.password_prompts, 0);
    EXPECT_THAT(receive_texts(), ElementsAre("M0015001.010"));
    EXPECT_THAT(send_texts(), ElementsAre("P0015002.033"));
    EXPECT_TRUE(timer().enabled());
    EXPECT_EQ(server_.logins("ag0015"), 0);  // nothing goes to the server
    EXPECT_FALSE(fs::exists(session().paths.work_folder / "M0015001.err"));
    EXPECT_EQ(receive().at(0).sent_at, "02:05 p.m.");
    EXPECT_TRUE(receive().at(0).handed_over);  // the window says it was not sent from here

    server_.put_file("ag0015/k0015001.010", "pre");
    server_.put_file("ag0015/M0015001.err", "val");
    tick();
    EXPECT_EQ(local_bytes(fs::path(val_rec()) / "M0015001.err"), "val");
    EXPECT_THAT(receive_texts(), IsEmpty());
}

TEST_F(ReceptionTest, ManualReceptionWithThePaymentPrompt) {
    add_file("M0015001.033", "m");
    add_file("E0015002.033", "1|09|");
    ui_.password_prompt(false);
    desk_->receive();
    EXPECT_EQ(ui_.password_prompts, 1);
    EXPECT_THAT(receive_texts(), ElementsAre("M0015001.033"));
    EXPECT_THAT(send_texts(), ElementsAre("E0015002.033"));

    ui_.password_prompt(true);
    desk_->receive();
    EXPECT_THAT(receive_texts(), ElementsAre("M0015001.033", "E0015002.033"));
    EXPECT_EQ(receive().at(1).archivo_val, "a0015002.033");
    EXPECT_EQ(receive().at(1).sub_item(9), "7");
    EXPECT_THAT(send_texts(), IsEmpty());
}

TEST_F(ReceptionTest, ManualReceptionWithAnEmptyList) {
    desk_->receive();
    EXPECT_THAT(ui_.texts(),
                ElementsAre("Debes incluir al menos un archivo en la lista de recepción!!!"));
    EXPECT_FALSE(timer().enabled());
}

}  // namespace
}  // namespace ordano::test
