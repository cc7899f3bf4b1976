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

#include "cli/CliProcess.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "base/DateTime.h"

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

OfficeSetup served_by(const FtpServer& server) {
    OfficeSetup setup = TestOffice::default_setup();
    setup.host = server.address();
    return setup;
}

class WatchCliTest : public ::testing::Test {
protected:
    WatchCliTest() {
        for (const char* folder : {"valin", "ag0015", "update"}) {
            server_.make_folder(folder);
        }
        julian_ = std::to_string(Dia_Juliano(SystemClock().today()));
        julian_.insert(0, 3 - julian_.size(), '0');
    }

    std::vector<std::string> command(const std::vector<std::string>& args) const {
        std::vector<std::string> all{ORDANO_CLI_PROGRAM,          "--ini",
                                     office_.ini_file.string(),   "--root",
                                     office_.drive_root.string(), "watch"};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
    fs::path scratch() { return sandbox_.path() / ("run" + std::to_string(++runs_)); }
    ProcessResult watch(const std::vector<std::string>& args) {
        return run_process(command(args), "", scratch());
    }
    // What each JSON line of a run said.
    std::vector<std::string> events(const std::string& out) {
        const auto read = run_process({"/usr/bin/python3", "-c", kEvents}, out, scratch());
        EXPECT_EQ(read.status, 0) << read.err << out;
        return lines_of(read.out);
    }
    std::string today_file(const std::string& kind, const std::string& bytes) {
        const std::string name = kind + "0015001." + julian_;
        sandbox_.write_file(office_.db_file.parent_path() / "envio" / "saai" / name, bytes);
        return name;
    }

    Sandbox sandbox_;
    FtpServer server_;
    TestOffice office_{sandbox_, served_by(server_)};
    std::string julian_;
    int runs_ = 0;
};

TEST_F(WatchCliTest, OnceSendsWhatIsReadyAndALaterRunTellsItsAnswer) {
    const std::string name = today_file("C", "carta cupo");
    const auto first = watch({"--once", "--settle", "1", "--json"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_THAT(events(first.out), ElementsAre("sent " + name + " /valin"));

    server_.put_file("ag0015/C0015001.err", "200|15|CURP|77|FIRMA|\r\n");
    const auto second = watch({"--once", "--settle", "1", "--json"});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(events(second.out), ElementsAre("answer " + name + " aceptado"));
    EXPECT_EQ(server_.file_bytes("valin/" + name), "carta cupo");
}

TEST_F(WatchCliTest, SigtermDuringAnUploadEndsWellWithNothingPartial) {
    // More than the system takes in its buffers at once: still under way when it is stopped.
    const std::string name = today_file("M", std::string(8 * 1000 * 1000, 'M'));
    FtpFaults slow;
    slow.throttle_bytes_per_second = 1000 * 1000;
    server_.set_faults(slow);
    StartedProcess watching(command({"--interval", "1", "--settle", "1"}), "", scratch());
    ASSERT_TRUE(FtpServer::wait_for([&] { return fs::exists(server_.local_path("valin/" + name)); },
                                    std::chrono::seconds(30)));
    watching.send_signal(SIGTERM);
    const ProcessResult result = watching.finish();

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");  // nothing was sent
    EXPECT_FALSE(server_.file_bytes("valin/" + name).has_value());
    const fs::path work = office_.drive_root / "OrdanoTmp";
    EXPECT_TRUE(
        std::none_of(fs::recursive_directory_iterator(work), fs::recursive_directory_iterator(),
                     [](const fs::directory_entry& entry) { return entry.is_regular_file(); }));
}

// A file far too large to read in the time a stop may take (64 GiB, sparse): SIGTERM ends the
// watch while it reads it, not once it has read it all.
TEST_F(WatchCliTest, SigtermWhileReadingAHugeFileEndsTheWatch) {
    const std::string name = today_file("M", "");
    fs::resize_file(office_.db_file.parent_path() / "envio" / "saai" / name, 64LL << 30);
    StartedProcess watching(command({"--interval", "1"}), "", scratch());
    const auto bytes_read = [&watching] {
        std::ifstream io("/proc/" + std::to_string(watching.pid()) + "/io");
        std::string key;
        long long value = 0;
        while (io >> key >> value && key != "rchar:") {
        }
        return value;
    };
    ASSERT_TRUE(
        FtpServer::wait_for([&] { return bytes_read() > (64LL << 20); }, std::chrono::seconds(30)));
    watching.send_signal(SIGTERM);
    const auto result = watching.finish_within(std::chrono::seconds(10));
    ASSERT_TRUE(result.has_value()) << "still reading " << bytes_read() << " bytes later";
    EXPECT_EQ(result->status, 0) << result->err;
    EXPECT_FALSE(server_.file_bytes("valin/" + name).has_value());
}

TEST_F(WatchCliTest, APasswordFileOthersMayReadIsRefused) {
    const fs::path file = sandbox_.write_file("pago.txt", "pago123\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto run = watch({"--once", "--password-file", file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("lo pueden leer otros usuarios"));
}

}  // namespace
}  // namespace ordano::test
