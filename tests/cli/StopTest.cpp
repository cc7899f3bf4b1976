// SPDX-License-Identifier: Apache-2.0
// ordano-cli stops at once: a termination signal cancels the transfer in flight and ends the
// command with 130 (SIGINT) or 143 (SIGTERM); the time of --wait is a limit that also cancels
// what is in flight. Nothing partial is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/ServedOffice.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;

class CliStopTest : public ServedOfficeTest {
protected:
    // Today's M file number `n`, of 8 MB: more than the system takes in its buffers at once,
    // so an upload of it is still under way when it is stopped.
    std::string today_file(int n) {
        return ServedOfficeTest::today_file(n, std::string(8 * 1000 * 1000, 'M'));
    }
    fs::path work_folder() const { return office.drive_root / "OrdanoTmp"; }

    void slow_server(std::int64_t bytes_per_second) {
        FtpFaults slow;
        slow.throttle_bytes_per_second = bytes_per_second;
        server.set_faults(slow);
    }

    // Whether a file lies anywhere under the folder (working folders of their own hold none).
    static bool has_files(const fs::path& folder) {
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->is_regular_file()) {
                return true;
            }
        }
        return false;
    }
};

// The uploads in flight are stopped (or, when all their bytes had already left, complete and
// count as sent); the journal says which, and the server holds each file whole or not at all.
TEST_F(CliStopTest, SigintDuringAnUploadEndsWith130AndSendsNothingMore) {
    const std::vector<std::string> names = {today_file(1), today_file(2), today_file(3)};
    slow_server(1000 * 1000);
    StartedProcess send = start({"send", names[0], names[1], names[2]});
    ASSERT_TRUE(FtpServer::wait_for(
        [&] { return fs::exists(server.local_path("valin/." + names[0] + ".parte")); },
        std::chrono::seconds(30)));
    send.send_signal(SIGINT);
    const ProcessResult result = send.finish();

    EXPECT_EQ(result.status, 130) << result.err;
    EXPECT_FALSE(has_files(work_folder()));
    // The three go up side by side: each is stopped, or completes (all its bytes had left) and
    // counts as sent; the journal says which, and the server holds it whole or not at all.
    const std::string journal = start({"history", "--json"}).finish().out;
    for (const auto& name : names) {
        const std::string entry = "\"file\":\"" + name + "\",\"kind\":\"M\",\"status\":";
        if (const auto held = server.file_bytes("valin/" + name)) {
            EXPECT_EQ(held->size(), 8u * 1000 * 1000) << name;
            EXPECT_NE(journal.find(entry + "\"esperando\""), std::string::npos) << journal;
        } else if (name == names[0] || journal.find(entry) != std::string::npos) {
            // Begun (the first one was under way at the signal): stopped. Not begun: no entry.
            EXPECT_NE(journal.find(entry + "\"error\""), std::string::npos) << journal;
        }
    }
}

// Every byte of the file has left the program, into the system's buffers, and the slow server
// would take minutes to confirm it: the stop waits 2 s at most for that confirmation, then ends
// like any other.
TEST_F(CliStopTest, SigtermOnceEveryByteHasLeftDoesNotWaitForTheServer) {
    const std::string name = ServedOfficeTest::today_file(1, std::string(3000 * 1000, 'M'));
    slow_server(20 * 1000);
    StartedProcess send = start({"send", name});
    // Once the upload has begun (under its temporary name), the data connection ends (when the
    // server reads again after the system took every byte): every byte has left.
    int most = 0;
    ASSERT_TRUE(FtpServer::wait_for(
        [&] {
            std::error_code ec;
            if (fs::file_size(server.local_path("valin/." + name + ".parte"), ec) == 0 || ec) {
                return false;
            }
            const int open = send.open_sockets();
            most = std::max(most, open);
            return open < most;
        },
        std::chrono::seconds(30)));
    send.send_signal(SIGTERM);
    const auto result = send.finish_within(std::chrono::seconds(8));
    ASSERT_TRUE(result.has_value()) << "still waiting for the server to confirm the file";
    EXPECT_EQ(result->status, 143) << result->err;
}

TEST_F(CliStopTest, SigtermWhileAnAnswerDownloadsEndsWith143AndStoresNoPart) {
    const std::string name = today_file(1);
    server.put_file("ag0015/k" + name.substr(1), std::string(400000, 'K'));
    slow_server(20000);
    StartedProcess receive = start({"receive", "--wait", "120", name});
    ASSERT_TRUE(
        FtpServer::wait_for([&] { return has_files(work_folder()); }, std::chrono::seconds(30)));
    receive.send_signal(SIGTERM);
    const ProcessResult result = receive.finish();

    EXPECT_EQ(result.status, 143) << result.err;
    EXPECT_FALSE(has_files(receive_folder()));
    EXPECT_FALSE(has_files(work_folder()));
}

TEST_F(CliStopTest, TheWaitIsALimitThatCancelsAStalledDownload) {
    const std::string name = today_file(1);
    server.put_file("ag0015/k" + name.substr(1), std::string(100000, 'K'));
    FtpFaults stall;
    stall.cut_after_bytes = 1000;
    stall.cut = FtpFaults::Cut::Stall;
    server.set_faults(stall);

    const ProcessResult result = start({"receive", "--wait", "6", name}).finish();

    // Ended by its own limit, not by the stall failing after a minute with its message.
    EXPECT_EQ(result.status, 6);
    EXPECT_NE(result.err.find("faltan"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Error No."), std::string::npos) << result.err;
    EXPECT_FALSE(has_files(receive_folder()));
    EXPECT_FALSE(has_files(work_folder()));
}

}  // namespace
}  // namespace ordano::test
