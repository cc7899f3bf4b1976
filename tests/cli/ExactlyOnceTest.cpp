// SPDX-License-Identifier: Apache-2.0
// Exactly once: a journal that cannot be written never makes a file go twice, by the server's
// own record of what it stored.
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "cli/ServedOffice.h"
#include "fixtures/SmallDisk.h"

namespace ordano::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ExactlyOnceTest : public ServedOfficeTest {
protected:
    // Uploads of /valin/`name` the server logged as complete.
    int receipts(const std::string& name) const {
        return static_cast<int>(std::ranges::count_if(server.transfers(), [&](const auto& t) {
            return t.direction == FtpTransfer::Direction::Upload && t.complete &&
                   t.path == "/valin/" + name;
        }));
    }
    // `send name` while another program holds the office's database for writing: the upload
    // goes, its record cannot be written there, and the command ends with 7.
    void send_with_journal_held(const std::string& name) {
        SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN IMMEDIATE");  // others may read; nobody else may write
        const ProcessResult send = cli({"send", name});
        EXPECT_EQ(send.status, 7) << send.err;
        EXPECT_THAT(send.err, HasSubstr(name));
        EXPECT_THAT(send.err, HasSubstr("Prevalida-bitacora-pendiente.txt"));
        EXPECT_THAT(send.err, Not(HasSubstr("se pondrá al día")));
        other.exec("ROLLBACK");
    }
    // Two passes of `watch` later the server has received the file once.
    void expect_sent_once_after_two_passes(const std::string& name) {
        for (int pass = 0; pass < 2; ++pass) {
            const ProcessResult watch = cli({"watch", "--once", "--settle", "1"});
            EXPECT_EQ(watch.status, 0) << watch.err;
        }
        EXPECT_EQ(receipts(name), 1);
    }
};

// The office's database is held by another program while a file is sent: the command says
// which file is unrecorded and where its record is kept, ends with 7, and the next programs
// neither send it again nor forget its answers. (A stopped upload: tests/servers.)
TEST_F(ExactlyOnceTest, ASendWhoseJournalCannotBeWrittenIsKeptAndNeverSentTwice) {
    const std::string name = today_file(1, "declaración");
    send_with_journal_held(name);
    // Readers leave the kept writes to the program that holds the office, and show them.
    const ProcessResult owed = cli({"pending"});
    EXPECT_THAT(owed.out, HasSubstr(name));
    EXPECT_THAT(owed.out, HasSubstr("esperando* "));
    EXPECT_THAT(owed.out, HasSubstr("* Aún no está en la base de datos de la oficina"));
    EXPECT_THAT(cli({"history", "--json"}).out,
                HasSubstr("\"status\":\"esperando\",\"listed_at\""));
    EXPECT_THAT(cli({"history", "--json"}).out, HasSubstr("\"owed\":true"));
    expect_sent_once_after_two_passes(name);
    const ProcessResult pending = cli({"pending"});
    EXPECT_EQ(pending.status, 0) << pending.err;
    EXPECT_THAT(pending.out, HasSubstr(name));
    EXPECT_THAT(pending.out, Not(HasSubstr("*")));
}

// The same on a full disk: the record is kept in the room the office's programs reserved while
// there was room, and once the disk has room again the file is not sent a second time.
TEST_F(ExactlyOnceTest, AFullDiskAndAHeldJournalStillNeverSendAFileTwice) {
    if (const auto why = SmallDisk::missing(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const std::string name = today_file(1, "declaración");
    SmallDisk disk(office.db_file.parent_path(), "2m");
    ASSERT_TRUE(disk.mounted());
    EXPECT_EQ(cli({"pending"}).status, 0);  // a program of the office's has run: room reserved
    disk.fill();
    send_with_journal_held(name);
    disk.empty();

    expect_sent_once_after_two_passes(name);
}

// Two sessions: a big file first in the list, a small one after it. The small one's upload is
// written to the journal the moment the server confirms it, while the big one still goes up.
TEST_F(ExactlyOnceTest, AnUploadIsJournaledTheMomentItIsConfirmedWhateverItsPlaceInTheList) {
    const std::string big = today_file(1, std::string(3 * 1000 * 1000, 'b'));
    const std::string small = today_file(2, "pequeño");
    server.set_faults({.throttle_bytes_per_second = 300 * 1000});
    StartedProcess send = start({"send", big, small});
    const auto sent = [&](const std::string& name) {
        try {
            SQLite::Database db(office.db_file.string(), SQLite::OPEN_READONLY);
            SQLite::Statement q(db,
                                "SELECT 1 FROM BITACORA WHERE archivo = ? AND enviado IS NOT "
                                "NULL AND via_envio = 'renombrado'");
            q.bind(1, name);
            return q.executeStep();
        } catch (const SQLite::Exception&) {
            return false;  // the database is being written: look again
        }
    };
    ASSERT_TRUE(FtpServer::wait_for([&] { return sent(small); }, std::chrono::seconds(20)));
    EXPECT_FALSE(sent(big));
    EXPECT_FALSE(server.file_bytes("valin/" + big).has_value());
    EXPECT_EQ(send.finish().status, 0);
    EXPECT_TRUE(sent(big));
}

}  // namespace
}  // namespace ordano::test
