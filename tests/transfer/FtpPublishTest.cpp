// SPDX-License-Identifier: Apache-2.0
// An upload is published whole: stored under a temporary name, renamed once the server has
// confirmed it; a server that refuses renaming gets it under its own name, remembered; what a
// failed upload left is removed at once. Against pyftpdlib on 127.0.0.1, faults included.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;
using test::FtpServer;
using test::Sandbox;

std::string random_bytes(std::size_t size) {
    std::mt19937_64 generator(20261209);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>('A' + generator() % 26);
    }
    return bytes;
}

class FtpPublishTest : public ::testing::Test {
protected:
    FtpPublishTest() { server.make_folder("valin"); }

    [[nodiscard]] FtpLogin login() const {
        return {server.address(), server.options().office.user, server.options().office.password};
    }
    // A file of `size` bytes in the sandbox, named `name`.
    fs::path local_file(const std::string& name, std::size_t size) {
        const fs::path path = sandbox.path() / name;
        sandbox.write_file(path, random_bytes(size));
        return path;
    }
    [[nodiscard]] int count(const std::string& command) const {
        const auto commands = server.commands();
        return static_cast<int>(std::count(commands.begin(), commands.end(), command));
    }
    [[nodiscard]] std::vector<std::string> in_valin() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(server.local_path("valin"))) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    int failure_of(FtpSession& session, const fs::path& file, const std::string& name) {
        try {
            session.upload(file, "/valin", name);
        } catch (const NumberedError& error) {
            return error.number();
        }
        return 0;
    }

    Sandbox sandbox;
    FtpServer server;
    FtpSession ftp{"eftpEnvio"};
};

TEST(TemporaryUploadName, IsHiddenAndNeverAFileTheServerAnswers) {
    EXPECT_EQ(temporary_upload_name("M0015001.343"), ".M0015001.343.parte");
    EXPECT_EQ(temporary_upload_name("cfps0015.rgs"), ".cfps0015.rgs.parte");
}

TEST_F(FtpPublishTest, AnUploadIsStoredAsideThenRenamedOnceTheServerConfirmedIt) {
    const fs::path file = local_file("M0015001.343", 300 * 1000);
    ftp.connect(login());
    EXPECT_EQ(ftp.upload(file, "/valin", "M0015001.343"), UploadWay::Renamed);

    EXPECT_EQ(in_valin(), std::vector<std::string>{"M0015001.343"});
    EXPECT_TRUE(server.file_bytes("valin/M0015001.343") == Sandbox::read_file(file));
    const auto commands = server.commands();
    const auto at = [&](const std::string& command) {
        return std::find(commands.begin(), commands.end(), command) - commands.begin();
    };
    const auto stored = at("STOR .M0015001.343.parte");
    EXPECT_LT(stored, at("SIZE .M0015001.343.parte"));
    EXPECT_LT(at("SIZE .M0015001.343.parte"), at("RNFR .M0015001.343.parte"));
    EXPECT_LT(at("RNFR .M0015001.343.parte"), at("RNTO M0015001.343"));
    EXPECT_LT(at("RNTO M0015001.343"), static_cast<std::ptrdiff_t>(commands.size()));
    EXPECT_EQ(count("STOR M0015001.343"), 0);
}

// The real name is watched while the bytes go up slowly: it never shows part of the file.
TEST_F(FtpPublishTest, TheRealNameNeverHoldsPartOfTheFile) {
    // (The server lets the first second's worth through at once, then keeps to the rate.)
    const std::size_t size = 1000 * 1000;
    const fs::path file = local_file("M0015002.343", size);
    ftp.connect(login());
    server.set_faults({.throttle_bytes_per_second = 250 * 1000});
    std::atomic<bool> done{false};
    std::thread upload([&] {
        ftp.upload(file, "/valin", "M0015002.343");
        done = true;
    });
    int looks = 0;
    std::int64_t partial = -1;
    while (!done) {
        std::error_code ec;
        const auto held = fs::file_size(server.local_path("valin/M0015002.343"), ec);
        if (!ec && held != size) {
            partial = static_cast<std::int64_t>(held);
        }
        ++looks;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    upload.join();
    EXPECT_GT(looks, 20);  // the file took a while: the folder was seen during the transfer
    EXPECT_EQ(partial, -1);
    EXPECT_EQ(fs::file_size(server.local_path("valin/M0015002.343")), size);
}

// A server that will not rename gets the file under its own name, and the temporary copy goes;
// the refusal is remembered for that server by every session sharing it.
TEST_F(FtpPublishTest, AServerRefusingTheRenameGetsTheFileUnderItsNameFromThenOn) {
    server.set_faults({.refuse_rename = true});
    auto ways = std::make_shared<PublishWays>();
    std::vector<std::string> heard;
    ways->on_refusal([&](const std::string& refusing) { heard.push_back(refusing); });
    ftp.share_publish_ways(ways);
    FtpSession second{"eftpEnvio#2"};
    second.share_publish_ways(ways);
    FtpSession unrelated{"eftpPrincipal"};
    ftp.connect(login());
    second.connect(login());
    unrelated.connect(login());

    EXPECT_EQ(ftp.upload(local_file("M0015003.343", 2000), "/valin", "M0015003.343"),
              UploadWay::Direct);
    EXPECT_EQ(ftp.upload(local_file("M0015004.343", 2000), "/valin", "M0015004.343"),
              UploadWay::Direct);
    EXPECT_EQ(second.upload(local_file("M0015005.343", 2000), "/valin", "M0015005.343"),
              UploadWay::Direct);
    EXPECT_EQ(count("RNFR .M0015003.343.parte"), 1);
    EXPECT_EQ(count("RNFR .M0015004.343.parte") + count("RNFR .M0015005.343.parte"), 0);
    EXPECT_EQ(heard, std::vector<std::string>{server.address()});
    EXPECT_EQ(in_valin(),
              (std::vector<std::string>{"M0015003.343", "M0015004.343", "M0015005.343"}));
    EXPECT_TRUE(server.file_bytes("valin/M0015003.343") ==
                Sandbox::read_file(sandbox.path() / "M0015003.343"));

    // A session that does not share what was learnt asks again.
    EXPECT_EQ(unrelated.upload(local_file("M0015006.343", 2000), "/valin", "M0015006.343"),
              UploadWay::Direct);
    EXPECT_EQ(count("RNFR .M0015006.343.parte"), 1);
}

// The session is cut mid-upload, or the server keeps less than was sent: nothing under the real
// name, and the temporary copy is removed at once on a fresh login.
TEST_F(FtpPublishTest, AnUploadThatBreaksLeavesNothingOnTheServer) {
    const fs::path file = local_file("M0015007.343", 400 * 1000);
    ftp.connect(login());
    server.set_faults({.cut_after_bytes = 100 * 1000});
    EXPECT_EQ(failure_of(ftp, file, "M0015007.343"), ftp_error::kSessionBroken);
    EXPECT_TRUE(in_valin().empty());
    EXPECT_EQ(count("DELE /valin/.M0015007.343.parte"), 1);

    server.set_faults({.lie_size = 1000});
    EXPECT_EQ(failure_of(ftp, file, "M0015007.343"), ftp_error::kSessionBroken);
    EXPECT_EQ(count("RNFR .M0015007.343.parte"), 0);
    EXPECT_TRUE(in_valin().empty());

    server.clear_faults();
    EXPECT_EQ(ftp.upload(file, "/valin", "M0015007.343"), UploadWay::Renamed);
    EXPECT_EQ(in_valin(), std::vector<std::string>{"M0015007.343"});
}

// A server whose logins are slow: the clean-up's fresh login gets the time that server needs.
TEST_F(FtpPublishTest, TheCleanUpWaitsAsLongAsTheServersLoginTakes) {
    const fs::path file = local_file("M0015008.343", 400 * 1000);
    server.set_faults({.reply_delay = std::chrono::milliseconds(700)});
    ftp.connect(login());  // USER, PASS, PWD... each 0.7 s late: a login of 2 s and more
    server.set_faults(
        {.cut_after_bytes = 100 * 1000, .reply_delay = std::chrono::milliseconds(700)});
    EXPECT_EQ(failure_of(ftp, file, "M0015008.343"), ftp_error::kSessionBroken);
    EXPECT_TRUE(in_valin().empty());
}

TEST_F(FtpPublishTest, RemoveFileSaysWhetherTheServerHadTheFile) {
    server.put_file("valin/.M0015009.343.parte", "parte");
    ftp.connect(login());
    EXPECT_TRUE(ftp.remove_file("/valin", ".M0015009.343.parte"));
    EXPECT_FALSE(ftp.remove_file("/valin", ".M0015009.343.parte"));
    EXPECT_TRUE(in_valin().empty());
}

}  // namespace
}  // namespace ordano
