// SPDX-License-Identifier: Apache-2.0
// A firewall or NAT in front of the server's passive ports, as many offices have: the login
// goes through, then every data connection is refused or its packets are dropped. The server
// runs in a network namespace of its own whose firewall blocks its passive ports (50000-50009);
// the office runs there too.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "cli/ServedOffice.h"
#include "fixtures/ChildProcess.h"
#include "fixtures/RealFtpServer.h"
#include "servers/ServerCases.h"
#include "transfer/FtpSession.h"

namespace ordano::test {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;
using Block = RealFtpServer::PassiveBlock;
using Kind = RealFtpServer::Kind;

struct BlockedCase {
    Kind kind;
    Block block;
    int number;  // what the office is told
};

std::string blocked_name(const BlockedCase& blocked) {
    return case_name({.real = blocked.kind}) +
           (blocked.block == Block::Refused ? "Refused" : "Dropped");
}

void PrintTo(const BlockedCase& blocked, std::ostream* out) {
    *out << blocked_name(blocked);
}

std::string param_name(const ::testing::TestParamInfo<BlockedCase>& info) {
    return blocked_name(info.param);
}

class PassiveBlocked : public ::testing::TestWithParam<BlockedCase> {
protected:
    void SetUp() override {
        if (const auto why = RealFtpServer::missing(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        server_ = std::make_unique<RealFtpServer>(
            RealFtpServer::Options{.kind = GetParam().kind, .passive_block = GetParam().block});
        server_->make_folder("valin");
        network_ = server_->network_namespace().value();
    }

    Sandbox sandbox_;
    std::unique_ptr<RealFtpServer> server_;
    std::string network_;
};

// One upload on a logged-in session, with data-connection tries of 2 s: its number, words and
// details, and the seconds it took (well under the 20 s of a connection).
TEST_P(PassiveBlocked, AnUploadFailsNamingTheDataConnectionItTried) {
    const FtpLogin login{server_->address(), "ag0015", "secreto"};
    const auto file = sandbox_.write_file("M0015001.033", "501|1|\r\n");

    const auto outcome = run_in_child({.network_namespace = network_}, [&] {
        FtpSession ftp("eftpEnvio", {.connect_seconds = 20, .data_connect_seconds = 2});
        ftp.connect(login);
        const auto start = std::chrono::steady_clock::now();
        std::ostringstream out;
        try {
            ftp.upload(file, "/valin", "M0015001.033");
            out << "sent\n";
        } catch (const FtpError& error) {
            out << error.number() << "\n" << error.what() << "\n" << error.details() << "\n";
        }
        out << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return out.str();
    });

    ASSERT_TRUE(outcome.has_value()) << "cannot join " << network_;
    const auto lines = lines_of(*outcome);
    ASSERT_GE(lines.size(), 3u) << *outcome;
    EXPECT_EQ(lines[0], std::to_string(GetParam().number)) << *outcome;
    EXPECT_THAT(lines[1], HasSubstr("la conexión de datos (modo pasivo)"));
    EXPECT_THAT(lines[1], HasSubstr("puertos pasivos"));
    EXPECT_THAT(*outcome, Not(HasSubstr("ontraseña")));
    // The blocked ports are 50000-50009; EPSV's was tried, then PASV's.
    EXPECT_THAT(*outcome, ContainsRegex("Conexión de datos intentada: 127\\.0\\.0\\.1, puertos "
                                        "500[0-9][0-9] \\(EPSV\\), 500[0-9][0-9] \\(PASV\\)\n"));
    const double seconds = std::stod(lines.back());
    EXPECT_LT(seconds, 20.0);
    std::cout << "data connection given up after " << seconds << " s\n";
}

// The command line: the status of a server that cannot be reached, and words that send the
// person to the network rather than to the password.
TEST_P(PassiveBlocked, SendingSaysTheDataConnectionIsBlocked) {
    ServedOffice office(sandbox_, *server_,
                        {.command_prefix = {"/usr/bin/nsenter", "--net=" + network_}});
    const std::string name = office.today_file(1, "501|1|\r\n");

    const auto run = office.cli({"send", name});

    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_THAT(run.err, HasSubstr("Error No. " + std::to_string(GetParam().number)));
    EXPECT_THAT(run.err, HasSubstr("conexión de datos"));
    EXPECT_THAT(run.err, Not(HasSubstr("Contraseña")));
    EXPECT_FALSE(server_->file_bytes("valin/" + name).has_value());
}

INSTANTIATE_TEST_SUITE_P(Servers, PassiveBlocked,
                         ::testing::Values(BlockedCase{Kind::Proftpd, Block::Refused, 1037},
                                           BlockedCase{Kind::Vsftpd, Block::Dropped, 1038},
                                           BlockedCase{Kind::PureFtpd, Block::Refused, 1037}),
                         param_name);

}  // namespace
}  // namespace ordano::test
