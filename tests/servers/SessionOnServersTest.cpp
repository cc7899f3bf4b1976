// SPDX-License-Identifier: Apache-2.0
// One FTP session against each server of the suite: what a server does differently must not
// put the session out of step.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "servers/ServerCases.h"
#include "transfer/FtpSession.h"

namespace ordano::test {
namespace {

using ::testing::Contains;

class SessionOnServers : public ::testing::TestWithParam<ServerCase> {
protected:
    void SetUp() override {
        if (const auto why = missing_for(GetParam()); !why.empty()) {
            GTEST_SKIP() << why;
        }
        server_ = start_server(GetParam());
        login_ = {server_->address(), "ag0015", "secreto",
                  FtpTls{.on = GetParam().tls, .authority_file = server_->authority_file()}};
    }

    Sandbox sandbox_;
    std::unique_ptr<TestFtpServer> server_;
    FtpLogin login_;
};

// ProFTPD over TLS closes the data connection of a missing file during its handshake, which
// libcurl took for a failed EPSV: the refusal was then read as the answer to PASV, and every
// later call on the session read the answer to the one before.
TEST_P(SessionOnServers, MissingFilesLeaveTheSessionInStep) {
    server_->put_file("ag0015/k0015001.033", "respuesta");
    const auto local = sandbox_.path() / "k0015001.033";
    FtpSession ftp("eftpRecepcion");
    ftp.connect(login_);

    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            ftp.download(local, "/ag0015", "M0015001.err");
            ADD_FAILURE() << "a missing file was downloaded";
        } catch (const FtpError& error) {
            EXPECT_EQ(error.number(), 1003) << error.what();
        }
    }
    ftp.download(local, "/ag0015", "k0015001.033");

    EXPECT_EQ(Sandbox::read_file(local), "respuesta");
    EXPECT_THAT(ftp.list_names("/ag0015"), Contains("k0015001.033"));
}

// The server's process for a logged-in session goes away (killed in its first second): the next
// call logs in again on a new connection, over TLS as over plain FTP.
TEST_P(SessionOnServers, ASessionTheServerDroppedAtTheStartIsLoggedInAgain) {
    if (!GetParam().real) {
        GTEST_SKIP() << "the project's server drops sessions by its own faults (tests/transfer)";
    }
    server_->make_folder("valin");
    const auto local = sandbox_.write_file("M0015001.033", "declaración");
    FtpSession ftp("eftpEnvio");
    ftp.connect(login_);
    EXPECT_GT(dynamic_cast<RealFtpServer&>(*server_).kill_sessions(), 0);

    ftp.upload(local, "/valin", "M0015001.033");
    EXPECT_EQ(server_->file_bytes("valin/M0015001.033"), "declaración");
}

// A server that takes two sessions per address drops every session, and two others take its
// places: a session logging in again is refused for that limit (1040: 421, or 530 to the account
// it accepted), never for a wrong password; one that may wait gets the place another leaves.
TEST_P(SessionOnServers, ALoginPastTheLimitIsTheLimitAndMayWaitForAPlace) {
    server_ = start_server(GetParam(), 2);
    login_.server = server_->address();
    login_.tls.authority_file = server_->authority_file();
    FtpSession gives_up("eftpEnvio#2");
    FtpSession waits("eftpEnvio");
    gives_up.connect(login_, FtpSession::PlaceWait::GiveUp);
    waits.connect(login_);
    if (auto* own = dynamic_cast<FtpServer*>(server_.get())) {
        own->drop_sessions();
    } else {
        EXPECT_GT(dynamic_cast<RealFtpServer&>(*server_).kill_sessions(SIGTERM), 0);
    }
    FtpSession first("eftpRecepcion");
    FtpSession second("eftpRecepcion#2");
    for (FtpSession* other : {&first, &second}) {
        // (A server may still count a dropped session for a moment.)
        ASSERT_TRUE(TestFtpServer::wait_for([&] {
            try {
                other->connect(login_, FtpSession::PlaceWait::GiveUp);
                return true;
            } catch (const FtpError&) {
                return false;
            }
        }));
    }

    try {
        (void)gives_up.list_names("/");
        ADD_FAILURE() << "a third session logged in";
    } catch (const FtpError& error) {
        EXPECT_EQ(error.number(), 1040) << error.what() << " " << error.details();
    }
    std::jthread leaving([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        second.disconnect();
    });
    (void)waits.list_names("/");
    EXPECT_TRUE(waits.connected());
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionOnServers, ::testing::ValuesIn(server_cases()),
                         param_name);

}  // namespace
}  // namespace ordano::test
