// SPDX-License-Identifier: Apache-2.0
// Exactly once on every server: an upload stopped early, in the middle or nearly done, then
// two unattended passes; by the server's own transfer log the whole file was received once, and
// where the log tells a failed upload from a complete one, no part of it was taken for the file.
// libcurl alone ended a stopped upload's data connection in order, which ProFTPD, vsftpd and
// pure-ftpd log as a complete file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
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

std::string random_bytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>('A' + generator() % 26);
    }
    return bytes;
}

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

    Sandbox sandbox_;
    std::unique_ptr<TestFtpServer> server_;
    std::optional<ServedOffice> office_;
};

TEST_P(StopOnServers, AnUploadStoppedAtAnyPointReachesTheServerOnceAndWhole) {
    const std::vector<std::pair<int, double>> stops = {{1, 0.05}, {2, 0.5}, {3, 0.95}};
    for (const auto& [n, share] : stops) {
        SCOPED_TRACE(share);
        const std::string bytes = random_bytes(kSize, static_cast<unsigned>(n));
        const std::string name = office_->today_file(n, bytes);
        StartedProcess send = office_->start({"send", name});
        // The real name is watched all along: it never holds part of the file.
        std::int64_t partial = -1;
        ASSERT_TRUE(TestFtpServer::wait_for(
            [&] {
                const std::int64_t real = held(name);
                partial = real >= 0 && real != static_cast<std::int64_t>(kSize) ? real : partial;
                return stored(name) >= static_cast<std::int64_t>(share * kSize);
            },
            std::chrono::seconds(30)));
        send.send_signal(SIGTERM);
        // 0 when the stop came once the upload had finished (a busy machine looks late).
        EXPECT_THAT(send.finish().status, ::testing::AnyOf(143, 0));
        EXPECT_EQ(partial, -1);
        EXPECT_THAT(held(name), ::testing::AnyOf(-1, static_cast<std::int64_t>(kSize)));
        if (auto* own = dynamic_cast<FtpServer*>(server_.get())) {
            own->clear_faults();  // the project's server would slow the answers' listings too
        }
        const bool told = log_tells_aborted(GetParam());
        // Early on the upload is still under way: the server must know it failed.
        if (share < 0.1 && told) {
            EXPECT_TRUE(TestFtpServer::wait_for([&] { return receipts(name, false) >= 1; }));
        }

        for (int pass = 0; pass < 2; ++pass) {
            const ProcessResult watch = office_->cli({"watch", "--once", "--settle", "1"});
            EXPECT_EQ(watch.status, 0) << watch.err;
        }
        EXPECT_TRUE(TestFtpServer::wait_for([&] { return whole_receipts(name) >= 1; }));
        EXPECT_EQ(whole_receipts(name), 1);
        if (told) {
            EXPECT_EQ(receipts(name, true), 1);  // and that one is the whole file
        }
        EXPECT_TRUE(server_->file_bytes("valin/" + name) == bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, StopOnServers, ::testing::ValuesIn(server_cases()), param_name);

}  // namespace
}  // namespace ordano::test
