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
};

// The office's database is held by another program while a file is sent: the command says
// which file is unrecorded and where its record is kept, ends with 7, and the next programs
// neither send it again nor forget its answers. (A stopped upload: tests/servers.)
TEST_F(ExactlyOnceTest, ASendWhoseJournalCannotBeWrittenIsKeptAndNeverSentTwice) {
    const std::string name = today_file(1, "declaración");
    {
        SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN IMMEDIATE");  // others may read; nobody else may write
        const ProcessResult send = cli({"send", name});
        EXPECT_EQ(send.status, 7) << send.err;
        EXPECT_THAT(send.err, HasSubstr(name));
        EXPECT_THAT(send.err, HasSubstr("Prevalida-bitacora-pendiente.txt"));
        EXPECT_THAT(send.err, Not(HasSubstr("se pondrá al día")));
        other.exec("ROLLBACK");
    }
    for (int pass = 0; pass < 2; ++pass) {
        const ProcessResult watch = cli({"watch", "--once", "--settle", "1"});
        EXPECT_EQ(watch.status, 0) << watch.err;
    }

    EXPECT_EQ(receipts(name), 1);
    const ProcessResult pending = cli({"pending"});
    EXPECT_EQ(pending.status, 0) << pending.err;
    EXPECT_THAT(pending.out, HasSubstr(name));
}

}  // namespace
}  // namespace ordano::test
