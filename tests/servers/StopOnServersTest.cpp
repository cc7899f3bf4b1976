// Exactly once on every server: an upload stopped early, in the middle or nearly done, then
// two unattended passes; by the server's own transfer log the file was received complete once,
// and whole. libcurl alone ended a stopped upload's data connection in order, which ProFTPD,
// vsftpd and pure-ftpd log as a complete file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "cli/ServedOffice.h"
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

class StopOnServers : public ::testing::TestWithParam<ServerCase> {
protected:
    void SetUp() override {
        if (const auto why = missing_for(GetParam()); !why.empty()) {
            GTEST_SKIP() << why;
        }
        server_ = start_server(GetParam(), 0, kRate);
        office_.emplace(sandbox_, *server_, ServedOffice::Options{.tls = GetParam().tls});
    }

    // Uploads of /valin/`name` the server logged as complete (or not).
    int receipts(const std::string& name, bool complete) const {
        int count = 0;
        for (const FtpTransfer& t : server_->transfers()) {
            count += t.direction == FtpTransfer::Direction::Upload && t.complete == complete &&
                             t.path == "/valin/" + name
                         ? 1
                         : 0;
        }
        return count;
    }
    std::int64_t held(const std::string& name) const {
        std::error_code ec;
        const auto size = fs::file_size(server_->local_path("valin/" + name), ec);
        return ec ? -1 : static_cast<std::int64_t>(size);
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
        ASSERT_TRUE(TestFtpServer::wait_for(
            [&] { return held(name) >= static_cast<std::int64_t>(share * kSize); },
            std::chrono::seconds(30)));
        send.send_signal(SIGTERM);
        EXPECT_EQ(send.finish().status, 143);
        // Early on the upload is still under way (the project's TLS server does not slow its
        // transfers): the server must know it failed.
        if (share < 0.1 && (GetParam().real || !GetParam().tls)) {
            EXPECT_TRUE(TestFtpServer::wait_for([&] { return receipts(name, false) >= 1; }));
        }

        for (int pass = 0; pass < 2; ++pass) {
            const ProcessResult watch = office_->cli({"watch", "--once", "--settle", "1"});
            EXPECT_EQ(watch.status, 0) << watch.err;
        }
        EXPECT_TRUE(TestFtpServer::wait_for([&] { return receipts(name, true) >= 1; }));
        EXPECT_EQ(receipts(name, true), 1);
        for (const FtpTransfer& t : server_->transfers()) {
            EXPECT_TRUE(!t.complete || t.bytes == static_cast<std::int64_t>(kSize)) << t.path;
        }
        EXPECT_TRUE(server_->file_bytes("valin/" + name) == bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, StopOnServers, ::testing::ValuesIn(server_cases()), param_name);

}  // namespace
}  // namespace ordano::test
