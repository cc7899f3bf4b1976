// SPDX-License-Identifier: Apache-2.0
// One FTP session against each server of the suite: what a server does differently must not
// put the session out of step.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

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

INSTANTIATE_TEST_SUITE_P(Servers, SessionOnServers, ::testing::ValuesIn(server_cases()),
                         param_name);

}  // namespace
}  // namespace ordano::test
