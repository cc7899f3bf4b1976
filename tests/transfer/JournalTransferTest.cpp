// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Sha256.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Session.h"
#include "transfer/TransferFixture.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class JournalTransferTest : public TransferTest {
protected:
    JournalTransferTest() {
        office_->journal().on_trouble([this](const std::string& text) { told_.push_back(text); });
    }

    void at(int hour, int minute) {
        clock_.set({std::chrono::year{2026} / 2 / 2, hour, minute, 0});
    }
    void tick() { desk_->polling_tick(); }
    std::vector<JournalRecord> records() {
        office_->journal().flush();
        JournalReader reader(office_->journal().database(), clock_.now(), 30);
        return reader.records({}, {HistoryColumn::File, false});
    }
    std::vector<std::string> statuses() {
        std::vector<std::string> out;
        for (const auto& r : records()) {
            out.push_back(r.file + " " + r.status);
        }
        return out;
    }
    // Quits and starts again: a new office and desk over the same database.
    void restart() {
        desk_.reset();
        office_.reset();
        office_ = Office::open(test_office_.path_options(), clock_);
        session().host = server_.address();
        desk_ = std::make_unique<TransferDesk>(session(), office_->params(), office_->journal(),
                                               ui_, clock_, office_->locale(), [] {});
        desk_->restore_from_journal(true);
    }

    std::vector<std::string> told_;
};

TEST_F(JournalTransferTest, SentFilesAndTheirAnswersAreJournaled) {
    add_file("M0015001.033", "declaración M");
    add_file("C0015002.033", "declaración C");
    at(14, 6);
    enviar();
    EXPECT_THAT(statuses(), ElementsAre("C0015002.033 esperando", "M0015001.033 esperando"));
    const JournalRecord sent = records()[1];
    EXPECT_EQ(sent.sent_at, "2026-02-02T14:06:00");
    EXPECT_EQ(sent.remote_folder, "/valin");
    EXPECT_EQ(sent.size, 14);
    Sha256 hash;
    hash.update("declaración M");
    EXPECT_EQ(sent.sha256, hash.hex_digest());
    EXPECT_EQ(sent.local_path, (fs::path(session().folders.val_env) / "M0015001.033").string());

    server_.put_file("ag0015/k0015001.033", "prevalidación");
    server_.put_file("ag0015/M0015001.err", "E1234567001000110102\r\n");
    server_.put_file("ag0015/C0015002.err", "200|15|CURP|77|FIRMA|\r\n");
    at(14, 20);
    tick();

    EXPECT_THAT(statuses(), ElementsAre("C0015002.033 aceptado", "M0015001.033 rechazado"));
    const JournalRecord answered = records()[1];
    ASSERT_EQ(answered.answers.size(), 2u);
    EXPECT_EQ(answered.answers[0].stored_path,
              (fs::path(session().folders.val_rec) / "k0015001.033").string());
    EXPECT_EQ(answered.answers[1].received_at, "2026-02-02T14:20:00");
    EXPECT_FALSE(answered.awaiting);
    EXPECT_THAT(told_, IsEmpty());
}

TEST_F(JournalTransferTest, AfterARestartAwaitedAnswersAndFilesToSendComeBack) {
    add_file("M0015001.033", "hoy");
    add_file("M0015002.032", "de ayer");  // not today's: stays to send
    at(14, 6);
    enviar();
    const ReceiveRow before = receive().at(0);
    // Its answers are awaited from the server alone: the sent file may go from the folder.
    fs::remove(fs::path(session().folders.val_env) / "M0015001.033");

    at(16, 0);
    restart();

    ASSERT_EQ(receive().size(), 1u);
    const ReceiveRow& after = receive().at(0);
    for (int n = 0; n <= ReceiveRow::kSubItems; ++n) {
        EXPECT_EQ(after.sub_item(n), before.sub_item(n)) << n;
    }
    EXPECT_EQ(after.small_icon, before.small_icon);
    EXPECT_THAT(send_texts(), ElementsAre("M0015002.032"));
    EXPECT_TRUE(timer().enabled());

    server_.put_file("ag0015/k0015001.033", "pre");
    server_.put_file("ag0015/M0015001.err", "F1234567FIRMA123\r\n");
    tick();
    EXPECT_THAT(receive_texts(), IsEmpty());
    const JournalRecord r = records()[0];
    EXPECT_EQ(r.status, "aceptado");
    EXPECT_EQ(r.sent_at, "2026-02-02T14:06:00");
    EXPECT_EQ(r.answers[1].received_at, "2026-02-02T16:00:00");

    // Taken off the send list now, it does not come back the next time.
    ui_.answer(MessageAnswer::Yes);
    desk_->remove_from_send(send().at(0).id);
    restart();
    EXPECT_THAT(send_texts(), IsEmpty());
    EXPECT_THAT(statuses(), ElementsAre("M0015001.033 aceptado"));
}

TEST_F(JournalTransferTest, AJournalThatCannotBeWrittenDoesNotStopTheTransfer) {
    add_file("C0015001.033", "c");
    office_->journal().flush();
    SQLite::Database other(test_office_.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    enviar();
    EXPECT_THAT(receive_texts(), ElementsAre("C0015001.033"));
    EXPECT_EQ(server_.file_bytes("valin/C0015001.033"), "c");
    EXPECT_FALSE(office_->journal().flush());
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_THAT(told_[0], ::testing::HasSubstr("bitácora"));

    other.exec("COMMIT");
    server_.put_file("ag0015/C0015001.err", "200|15|CURP|77|FIRMA|\r\n");
    tick();
    EXPECT_THAT(statuses(), ElementsAre("C0015001.033 aceptado"));
    EXPECT_EQ(records()[0].size, 1);
    EXPECT_EQ(told_.size(), 1u);
}

TEST_F(JournalTransferTest, AFileGoneFromItsFolderIsAnErrorThatStaysToSend) {
    add_file("M0015001.033", "borrado");
    fs::remove(fs::path(session().folders.val_env) / "M0015001.033");
    ui_.answer(MessageAnswer::No);
    enviar();
    EXPECT_THAT(statuses(), ElementsAre("M0015001.033 error"));
    ASSERT_EQ(records()[0].failures.size(), 1u);
    EXPECT_EQ(records()[0].failures[0].number, 68);
    EXPECT_THAT(send_texts(), ElementsAre("M0015001.033"));
    restart();
    EXPECT_THAT(send_texts(), ElementsAre("M0015001.033"));
}

// Detener: the file is "detenido", no longer awaited (its upload is still recorded).
TEST_F(JournalTransferTest, StoppedReceptionIsStoppedAndNoLongerAwaited) {
    add_file("C0015001.033", "c");
    enviar();
    desk_->stop_polling();
    EXPECT_THAT(statuses(), ElementsAre("C0015001.033 detenido"));
    EXPECT_FALSE(records()[0].sent_at.empty());
    restart();
    EXPECT_THAT(receive_texts(), IsEmpty());
}

TEST_F(JournalTransferTest, AnswersAwaitedTooLongAreMarkedOverdue) {
    add_file("C0015001.033", "c");
    at(14, 0);
    enviar();
    at(14, 30);
    EXPECT_EQ(desk_->mark_overdue(), 0);
    EXPECT_FALSE(receive().at(0).overdue);
    at(14, 31);
    EXPECT_EQ(desk_->mark_overdue(), 1);
    EXPECT_TRUE(receive().at(0).overdue);
    EXPECT_THAT(statuses(), ElementsAre("C0015001.033 atrasado"));
}

}  // namespace
}  // namespace ordano::test
