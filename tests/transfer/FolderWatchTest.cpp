// SPDX-License-Identifier: Apache-2.0
// The unattended watch over the send folders, pass by pass, against the real FTP server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "engine/EngineDeskWork.h"
#include "office/Parameters.h"
#include "office/Session.h"
#include "transfer/FolderWatch.h"
#include "transfer/TransferFixture.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FolderWatchTest : public TransferTest {
protected:
    FolderWatchTest() { start_watch(); }

    ~FolderWatchTest() override { end_watch(); }

    // Interval 0: a server that could not be reached may be tried again at the next pass.
    // Settle time 0: a file found unchanged at one pass after another is ready.
    // A watch after the first ends the one before, and its engine the office's work: it starts
    // on the office opened again over the same database.
    void start_watch(bool payment_password = false,
                     std::chrono::seconds interval = std::chrono::seconds(0)) {
        if (watch_) {
            end_watch();
            reopen_office();
        }
        watch_ui_ = std::make_unique<WatchUi>(ui_, payment_password);
        work_ = std::make_unique<EngineDeskWork>(*office_, *watch_ui_);
        watch_ = std::make_unique<FolderWatch>(
            *office_, *work_, *watch_ui_, WatchOptions{interval, std::chrono::seconds(0)},
            [this](const WatchEvent& event) { events_.push_back(describe(event)); });
    }
    void end_watch() {
        watch_.reset();
        work_.reset();
        watch_ui_.reset();
    }
    void reopen_office() {
        desk_.reset();
        office_.reset();
        office_ = Office::open(test_office_.path_options(), clock_);
        session().host = server_.address();
    }
    // The watch ends and starts again on a new office over the same database.
    void restart() { start_watch(); }
    static std::string describe(const WatchEvent& event) {
        switch (event.kind) {
            case WatchEvent::Kind::Sent:
                return "sent " + event.file + " " + event.folder;
            case WatchEvent::Kind::Answer:
                return "answer " + event.answer + " " + event.outcome;
            case WatchEvent::Kind::Overdue:
                return "overdue " + event.file;
            case WatchEvent::Kind::Failure:
                return "failure " + std::to_string(event.number) + " " + event.file;
            case WatchEvent::Kind::Reconnected:
                return "reconnected";
            case WatchEvent::Kind::Left:
                break;
        }
        return "left " + event.file;
    }
    void write(const std::string& name, std::string_view bytes) {
        sandbox_.write_file(send_folder_of(name) / name, bytes);
    }
    void passes(int n) {
        for (int i = 0; i < n; ++i) {
            watch_->pass();
        }
    }
    // Uploads of a file the server received (under its temporary name, then renamed).
    int uploads(const std::string& name) const {
        const auto commands = server_.commands();
        return static_cast<int>(std::ranges::count(commands, "STOR ." + name + ".parte"));
    }

    std::vector<std::string> events_;
    std::unique_ptr<WatchUi> watch_ui_;
    std::unique_ptr<EngineDeskWork> work_;
    std::unique_ptr<FolderWatch> watch_;
};

TEST_F(FolderWatchTest, AFileWrittenInTwoHalvesIsSentOnceWhole) {
    write("M0015001.033", "primera mitad ");
    watch_->pass();
    std::ofstream(send_folder_of("M0015001.033") / "M0015001.033", std::ios::app)
        << "segunda mitad";
    watch_->pass();
    EXPECT_THAT(events_, IsEmpty());  // still growing at the last look

    passes(3);
    EXPECT_THAT(events_, ElementsAre("sent M0015001.033 /valin"));
    EXPECT_EQ(server_.file_bytes("valin/M0015001.033"), "primera mitad segunda mitad");
    EXPECT_EQ(uploads("M0015001.033"), 1);
}

// Two names differing only in letter case in one send folder: which one is the declaration is
// not for the watch to guess. Neither goes, and the clash is said once over the passes.
TEST_F(FolderWatchTest, NamesDifferingOnlyInLetterCaseAreToldOnceAndNeitherIsSent) {
#ifdef _WIN32
    GTEST_SKIP() << "names differing only in letter case are one file here";
#endif
    write("M0015005.033", "una");
    sandbox_.write_file(send_folder_of("M0015005.033") / "m0015005.033", "otra");
    write("C0015006.033", "c");
    passes(4);
    EXPECT_THAT(events_, ElementsAre("left M0015005.033", "sent C0015006.033 /valin"));
    EXPECT_EQ(uploads("M0015005.033") + uploads("m0015005.033"), 0);
}

TEST_F(FolderWatchTest, AFileDroppedWhileTheServerIsDownIsSentOnceWhenItComesBack) {
    server_.go_down();
    write("C0015001.033", "c");
    passes(4);
    EXPECT_THAT(events_, ElementsAre("failure 1029 "));  // once for the outage

    server_.come_back();
    passes(3);
    EXPECT_THAT(events_, ElementsAre("failure 1029 ", "sent C0015001.033 /valin", "reconnected"));
    EXPECT_EQ(uploads("C0015001.033"), 1);
}

// Listed during an outage, then written again as the server comes back: it leaves the send
// list until it has settled again, and goes once, whole.
TEST_F(FolderWatchTest, AFileListedDuringAnOutageAndWrittenAgainWaitsUntilItSettles) {
    server_.go_down();
    write("C0015001.033", "vieja");
    passes(3);
    server_.come_back();
    write("C0015001.033", "nueva, a medio escribir");
    watch_->pass();
    std::ofstream(send_folder_of("C0015001.033") / "C0015001.033", std::ios::app) << " y terminada";
    passes(3);
    EXPECT_EQ(uploads("C0015001.033"), 1);
    EXPECT_EQ(server_.file_bytes("valin/C0015001.033"), "nueva, a medio escribir y terminada");
}

// Passes that leave the server alone while the wait after a failure runs do not end the
// outage: its message is said once over all its tries (1 s, then 2 s apart).
TEST_F(FolderWatchTest, AnOutageIsSaidOnceOverItsRetries) {
    start_watch(false, std::chrono::seconds(1));
    refuse_logins();
    write("C0015001.033", "c");
    ASSERT_TRUE(FtpServer::wait_for([this] {
        watch_->pass();
        return server_.refused_logins("ag0015") >= 3;
    }));
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(std::ranges::count(ui_.messages, ui_.messages[0].text, &ScriptedUi::Shown::text), 1)
        << ui_.messages.size() << " messages";
}

TEST_F(FolderWatchTest, AfterARestartAnUnchangedFileStaysSentAndAChangedOneGoesAgain) {
    write("C0015001.033", "uno");
    write("C0015002.033", "dos");
    passes(2);
    restart();
    passes(2);
    write("C0015002.033", "dos, corregido");
    passes(2);

    EXPECT_EQ(uploads("C0015001.033"), 1);
    EXPECT_EQ(uploads("C0015002.033"), 2);
    EXPECT_EQ(server_.file_bytes("valin/C0015002.033"), "dos, corregido");
}

TEST_F(FolderWatchTest, AnswersAreStoredAndEachStepIsTold) {
    write("M0015001.033", "m");
    passes(2);
    clock_.set({std::chrono::year{2026} / 2 / 2, 14, 40, 0});
    watch_->pass();
    server_.put_file("ag0015/k0015001.033", "prevalidación");
    server_.put_file("ag0015/M0015001.err", "E1234567001000110102\r\n");
    watch_->pass();

    EXPECT_THAT(events_,
                ElementsAre("sent M0015001.033 /valin", "overdue M0015001.033",
                            "answer k0015001.033 prevalidado", "answer M0015001.err rechazado"));
    EXPECT_TRUE(fs::exists(fs::path(session().folders.val_rec) / "M0015001.err"));
    EXPECT_THAT(watch_->desk().receive_list().rows(), IsEmpty());
    EXPECT_THAT(watch_->desk().send_list().rows(), IsEmpty());  // told, not kept for months
}

// The office's own limit (60 minutes here), not the default 30, makes an answer overdue.
TEST_F(FolderWatchTest, OverdueFollowsTheOfficesOwnLimit) {
    office_->params().set_number(Param::min_atraso, 60);
    office_->params().save();
    write("M0015001.033", "m");
    passes(2);  // sent at 14:05
    const auto pass_at = [this](int minute) {
        clock_.set({std::chrono::year{2026} / 2 / 2, 15, minute, 0});
        watch_->pass();
        return watch_->desk().receive_list().rows().at(0).overdue;
    };
    EXPECT_FALSE(pass_at(5));
    EXPECT_THAT(events_, ElementsAre("sent M0015001.033 /valin"));
    EXPECT_TRUE(pass_at(6));
    EXPECT_THAT(events_, ElementsAre("sent M0015001.033 /valin", "overdue M0015001.033"));
}

TEST_F(FolderWatchTest, PaymentFilesWithoutAPasswordAreLeftAndToldOnce) {
    write("E0015001.033", "pago");
    write("M0015001.033", "m");
    passes(4);

    EXPECT_THAT(events_, ElementsAre("left E0015001.033", "sent M0015001.033 /valin"));
    EXPECT_FALSE(server_.file_bytes("pagin/E0015001.033").has_value());
    EXPECT_EQ(ui_.password_prompts, 0);
}

TEST(RetryBackoffTest, DoublesFromTheFirstWaitUpToTheCapAndStartsAgainAfterASuccess) {
    RetryBackoff backoff(std::chrono::seconds(30));
    std::vector<long> waits;
    for (int i = 0; i < 7; ++i) {
        waits.push_back(static_cast<long>(backoff.failed().count()));
    }
    EXPECT_THAT(waits, ElementsAre(30, 60, 120, 240, 480, 600, 600));
    backoff.succeeded();
    EXPECT_EQ(backoff.failed().count(), 30);
}

}  // namespace
}  // namespace ordano::test
