// SPDX-License-Identifier: Apache-2.0
// ordano-cli watch as a program against the real FTP server: its events on standard output,
// the payment password's file, and its end on a termination signal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/ServedOffice.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Reads the JSON lines of the watch and prints what a script would take from each event.
constexpr const char* kEvents = R"py(
import json, sys
for line in sys.stdin:
    e = json.loads(line)
    print(e["event"], e.get("file", ""), e.get("outcome", e.get("remote_folder", "")))
)py";

class WatchCliTest : public ServedOfficeTest {
protected:
    static std::vector<std::string> watch_args(const std::vector<std::string>& args) {
        std::vector<std::string> all{"watch"};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
    ProcessResult watch(const std::vector<std::string>& args) { return cli(watch_args(args)); }
    StartedProcess start_watch(const std::vector<std::string>& args) {
        return start(watch_args(args));
    }
    // What each JSON line of a run said.
    std::vector<std::string> events(const std::string& out) {
        return read_with_python(kEvents, out);
    }
};

TEST_F(WatchCliTest, OnceSendsWhatIsReadyAndALaterRunTellsItsAnswer) {
    const std::string name = today_file(1, "carta cupo", 'C');
    const auto first = watch({"--once", "--settle", "1", "--json"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_THAT(events(first.out), ElementsAre("sent " + name + " /valin"));

    server.put_file("ag0015/C0015001.err", "200|15|CURP|77|FIRMA|\r\n");
    const auto second = watch({"--once", "--settle", "1", "--json"});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(events(second.out), ElementsAre("answer " + name + " aceptado"));
    EXPECT_EQ(server.file_bytes("valin/" + name), "carta cupo");
}

TEST_F(WatchCliTest, SigtermDuringAnUploadEndsWellWithNothingPartial) {
    // More than the system takes in its buffers at once: still under way when it is stopped.
    const std::string name = today_file(1, std::string(8 * 1000 * 1000, 'M'));
    FtpFaults slow;
    slow.throttle_bytes_per_second = 1000 * 1000;
    server.set_faults(slow);
    StartedProcess watching = start_watch({"--interval", "1", "--settle", "1"});
    // Under way: stored under its temporary name until whole.
    const fs::path temporary = server.local_path("valin/." + name + ".parte");
    ASSERT_TRUE(
        FtpServer::wait_for([&] { return fs::exists(temporary); }, std::chrono::seconds(30)));
    watching.send_signal(SIGTERM);
    const ProcessResult result = watching.finish();

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");  // nothing was sent
    EXPECT_FALSE(server.file_bytes("valin/" + name).has_value());
    EXPECT_FALSE(fs::exists(temporary));
    const fs::path work = office.drive_root / "OrdanoTmp";
    EXPECT_TRUE(
        std::none_of(fs::recursive_directory_iterator(work), fs::recursive_directory_iterator(),
                     [](const fs::directory_entry& entry) { return entry.is_regular_file(); }));
}

// A file far too large to read in the time a stop may take (64 GiB, sparse): SIGTERM ends the
// watch while it reads it, not once it has read it all.
TEST_F(WatchCliTest, SigtermWhileReadingAHugeFileEndsTheWatch) {
    const std::string name = today_file(1, "");
    fs::resize_file(send_folder() / name, 64LL << 30);
    StartedProcess watching = start_watch({"--interval", "1"});
    const auto bytes_read = [&watching] { return watching.io_count("rchar"); };
    ASSERT_TRUE(
        FtpServer::wait_for([&] { return bytes_read() > (64LL << 20); }, std::chrono::seconds(30)));
    watching.send_signal(SIGTERM);
    const auto result = watching.finish_within(std::chrono::seconds(10));
    ASSERT_TRUE(result.has_value()) << "still reading " << bytes_read() << " bytes later";
    EXPECT_EQ(result->status, 0) << result->err;
    EXPECT_FALSE(server.file_bytes("valin/" + name).has_value());
}

// A pass that fails says why where errors go, also for the failures the program shows no
// message for: a transfer the server refused (1003), a session it ended (1000).
TEST_F(WatchCliTest, AOnceThatFailsSaysWhyOnStandardError) {
    const std::string name = today_file(1, std::string(100000, 'M'));
    fs::remove_all(server.local_path("valin"));
    const auto refused = watch({"--once", "--settle", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("ordano-cli watch: falla 1003 " + name + ": "));

    server.make_folder("valin");
    server.set_faults({.cut_after_bytes = 1000});
    const auto ended = watch({"--once", "--settle", "1"});
    EXPECT_EQ(ended.status, 1);
    EXPECT_THAT(ended.err, HasSubstr("ordano-cli watch: falla 1000: "));
}

TEST_F(WatchCliTest, APasswordFileOthersMayReadIsRefused) {
    const fs::path file = sandbox.write_file("pago.txt", "pago123\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto run = watch({"--once", "--password-file", file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("lo pueden leer otros usuarios"));
#ifdef _WIN32
    EXPECT_THAT(run.err, HasSubstr("(Propiedades del archivo, pestaña Seguridad)"));
#else
    EXPECT_THAT(run.err, HasSubstr("(chmod 600)"));
#endif
}

}  // namespace
}  // namespace ordano::test
