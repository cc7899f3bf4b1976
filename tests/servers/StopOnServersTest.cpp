// SPDX-License-Identifier: Apache-2.0
// Exactly once on every server: an upload stopped early, in the middle or nearly done, then
// two unattended passes; by the server's own transfer log the whole file was received once, and
// where the log tells a failed upload from a complete one, no part of it was taken for the file.
// libcurl alone ended a stopped upload's data connection in order, which ProFTPD, vsftpd and
// pure-ftpd log as a complete file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/ServedOffice.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "servers/ServerCases.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSize = 8 * 1000 * 1000;   // more than the system buffers at once
constexpr std::int64_t kRate = 2 * 1000 * 1000;  // bytes a second the server takes

// Whether the server's transfer log tells an aborted upload from a complete one: pure-ftpd
// marks every upload "c", and pyftpdlib over TLS logs an upload whose data connection was reset
// as complete.
bool log_tells_aborted(const ServerCase& server) {
    return server.real ? *server.real != RealFtpServer::Kind::PureFtpd : !server.tls;
}

class StopOnServers : public ::testing::TestWithParam<ServerCase> {
protected:
    void SetUp() override {
        if (const auto why = missing_for(GetParam()); !why.empty()) {
            GTEST_SKIP() << why;
        }
        server_ = start_server(GetParam(), 0, kRate);
        office_.emplace(sandbox_, *server_, ServedOffice::Options{.tls = GetParam().tls});
    }

    // The uploads of /valin/`name` the server logged, complete or not.
    std::vector<FtpTransfer> uploads(const std::string& name) const {
        std::vector<FtpTransfer> found;
        for (const FtpTransfer& t : server_->transfers()) {
            if (t.direction == FtpTransfer::Direction::Upload && t.path == "/valin/" + name) {
                found.push_back(t);
            }
        }
        return found;
    }
    int receipts(const std::string& name, bool complete) const {
        return static_cast<int>(
            std::ranges::count(uploads(name), complete, &FtpTransfer::complete));
    }
    int whole_receipts(const std::string& name) const {
        return static_cast<int>(std::ranges::count(uploads(name), static_cast<std::int64_t>(kSize),
                                                   &FtpTransfer::bytes));
    }
    std::int64_t held(const std::string& name) const {
        std::error_code ec;
        const auto size = fs::file_size(server_->local_path("valin/" + name), ec);
        return ec ? -1 : static_cast<std::int64_t>(size);
    }
    // What the upload under way has stored so far (under the temporary name until whole).
    std::int64_t stored(const std::string& name) const {
        return std::max(held(name), held("." + name + ".parte"));
    }
    // Waits until the server has stored `target` bytes of the file, for as long as its copy
    // keeps growing however slowly: std::nullopt then. What the send left when it ended first,
    // or when the copy stood still for 30 s (the send is then killed). All along, the real name
    // is watched: `partial` keeps any size it held short of the whole file.
    std::optional<ProcessResult> wait_until_held(StartedProcess& send, const std::string& name,
                                                 std::int64_t target, std::int64_t whole,
                                                 std::int64_t& partial) const {
        using Clock = std::chrono::steady_clock;
        std::int64_t last = stored(name);
        auto moved = Clock::now();
        const auto look = [&] {
            const std::int64_t real = held(name);
            partial = real >= 0 && real != whole ? real : partial;
            return stored(name);
        };
        while (look() < target) {
            if (auto ended = send.finish_within(std::chrono::milliseconds(50))) {
                return ended;
            }
            if (const std::int64_t now = stored(name); now != last) {
                last = now;
                moved = Clock::now();
            } else if (Clock::now() - moved > std::chrono::seconds(30)) {
                send.send_signal(SIGKILL);
                return send.finish();
            }
        }
        return std::nullopt;
    }
    // The project's server slows uploads only while a send is watched: its throttle would slow
    // the answers' listings of the passes that follow too. (Real servers limit uploads alone.)
    void throttle_uploads(bool on) const {
        if (auto* own = dynamic_cast<FtpServer*>(server_.get())) {
            own->set_faults({.throttle_bytes_per_second = on ? kRate : 0});
        }
    }
    // Everything that tells why a run went wrong: its outputs (with -v the FTP conversation)
    // and the server's logs.
    std::string told(const ProcessResult& run) const {
        return "exit status " + std::to_string(run.status) + "\n--- standard output ---\n" +
               run.out + "\n--- standard error ---\n" + run.err + "\n" + server_->logs();
    }

    Sandbox sandbox_;
    std::unique_ptr<TestFtpServer> server_;
    std::optional<ServedOffice> office_;
};

// Stopped early, midway and nearly done, each time once the server holds that much of the file
// (a busy machine may deliver the last stop after the upload ended).
TEST_P(StopOnServers, AnUploadStoppedAtAnyPointReachesTheServerOnceAndWhole) {
    const std::vector<std::pair<int, double>> stops = {{1, 0.05}, {2, 0.5}, {3, 0.95}};
    for (const auto& [n, share] : stops) {
        SCOPED_TRACE(share);
        const std::string bytes = random_bytes(kSize, static_cast<unsigned>(n));
        const std::string name = office_->today_file(n, bytes);
        throttle_uploads(true);
        StartedProcess send = office_->start({"-v", "send", name});
        const auto target = static_cast<std::int64_t>(share * kSize);
        std::int64_t partial = -1;  // the real name never holds part of the file
        if (const auto ended =
                wait_until_held(send, name, target, static_cast<std::int64_t>(kSize), partial)) {
            FAIL() << "the server held " << stored(name) << " bytes of " << target
                   << " when the send ended\n"
                   << told(*ended);
        }
        send.send_signal(SIGTERM);
        const ProcessResult stopped = send.finish();
        // 0 when the stop came once the upload had finished.
        EXPECT_THAT(stopped.status, ::testing::AnyOf(143, 0)) << told(stopped);
        EXPECT_EQ(partial, -1);
        EXPECT_THAT(held(name), ::testing::AnyOf(-1, static_cast<std::int64_t>(kSize)));
        throttle_uploads(false);
        const bool tells = log_tells_aborted(GetParam());
        // The server logs the send's upload once its data connection ends; where it tells a
        // failed upload, a part of the file is never taken for the file.
        EXPECT_TRUE(TestFtpServer::wait_for([&] { return !uploads(name).empty(); },
                                            std::chrono::seconds(30)))
            << told(stopped);
        for (const FtpTransfer& upload : uploads(name)) {
            if (tells && upload.bytes < static_cast<std::int64_t>(kSize)) {
                EXPECT_FALSE(upload.complete) << upload.bytes << " bytes\n" << told(stopped);
            }
        }

        for (int pass = 0; pass < 2; ++pass) {
            const ProcessResult watch = office_->cli({"-v", "watch", "--once", "--settle", "1"});
            EXPECT_EQ(watch.status, 0) << told(watch);
        }
        EXPECT_TRUE(TestFtpServer::wait_for([&] { return whole_receipts(name) >= 1; }));
        EXPECT_EQ(whole_receipts(name), 1) << server_->logs();
        if (tells) {
            EXPECT_EQ(receipts(name, true), 1)
                << server_->logs();  // and that one is the whole file
        }
        EXPECT_TRUE(server_->file_bytes("valin/" + name) == bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, StopOnServers, ::testing::ValuesIn(server_cases()), param_name);

}  // namespace
}  // namespace ordano::test
