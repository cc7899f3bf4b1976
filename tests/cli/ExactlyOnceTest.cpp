// Exactly once: whatever stops an upload or keeps the journal from being written, each file
// reaches the server complete once, and whole, by the server's own record of what it stored.
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <string>

#include "cli/ServedOffice.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

class ExactlyOnceTest : public ServedOfficeTest {
protected:
    static std::string random_bytes(std::size_t size, unsigned seed) {
        std::mt19937 generator(seed);
        std::string bytes(size, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>('A' + generator() % 26);
        }
        return bytes;
    }
    // The uploads of valin/`name` the server took as complete (or not), by its own record.
    int receipts(const std::string& name, bool complete = true) const {
        int count = 0;
        for (const auto& upload : server.uploads()) {
            count += upload.path == "valin/" + name && upload.complete == complete ? 1 : 0;
        }
        return count;
    }
    std::int64_t held(const std::string& name) const {
        std::error_code ec;
        const auto size = fs::file_size(server.local_path("valin/" + name), ec);
        return ec ? -1 : static_cast<std::int64_t>(size);
    }
    // Two unattended passes, as a scheduler runs them.
    void two_unattended_passes() {
        for (int pass = 0; pass < 2; ++pass) {
            const ProcessResult watch = cli({"watch", "--once", "--settle", "1"});
            EXPECT_EQ(watch.status, 0) << watch.err;
        }
    }
};

// Stopped early, in the middle or nearly done, then left to the watch: one complete receipt.
// The file is larger than what the system buffers at once, so early the upload is still under
// way (and aborted); later its last bytes may all have left the program (and it counts as
// sent). Either way the server never takes a part of it for the whole.
TEST_F(ExactlyOnceTest, AnUploadStoppedAtAnyPointReachesTheServerOnceAndWhole) {
    constexpr std::size_t kSize = 12 * 1000 * 1000;
    const std::vector<std::pair<int, double>> stops = {{1, 0.05}, {2, 0.5}, {3, 0.95}};
    for (const auto& [n, share] : stops) {
        SCOPED_TRACE(share);
        const std::string bytes = random_bytes(kSize, static_cast<unsigned>(n));
        const std::string name = today_file(n, bytes);
        server.set_faults({.throttle_bytes_per_second = 2 * 1000 * 1000});
        StartedProcess send = start({"send", name});
        ASSERT_TRUE(FtpServer::wait_for(
            [&] { return held(name) >= static_cast<std::int64_t>(share * kSize); },
            std::chrono::seconds(30)));
        send.send_signal(SIGTERM);
        EXPECT_EQ(send.finish().status, 143);
        server.clear_faults();

        if (share < 0.1) {
            EXPECT_EQ(receipts(name, false), 1);  // aborted: the server knows it failed
        }

        two_unattended_passes();
        EXPECT_TRUE(FtpServer::wait_for([&] { return receipts(name) >= 1; }));
        EXPECT_EQ(receipts(name), 1);
        for (const auto& upload : server.uploads()) {
            EXPECT_TRUE(!upload.complete || upload.bytes == static_cast<std::int64_t>(kSize));
        }
        EXPECT_TRUE(server.file_bytes("valin/" + name) == bytes);
    }
}

// The office's database is held by another program while a file is sent: the command says
// which file is unrecorded and where its record is kept, ends with 7, and the next programs
// neither send it again nor forget its answers.
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
    two_unattended_passes();

    EXPECT_EQ(receipts(name), 1);
    const ProcessResult pending = cli({"pending"});
    EXPECT_EQ(pending.status, 0) << pending.err;
    EXPECT_THAT(pending.out, HasSubstr(name));
}

}  // namespace
}  // namespace ordano::test
