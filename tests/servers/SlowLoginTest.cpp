// SPDX-License-Identifier: Apache-2.0
// A server whose logins take seconds (pure-ftpd with accounts hashed by its own tool): work
// never waits for a session that is still logging in, and no session is opened that would not
// pay for its login.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/ServedOffice.h"
#include "fixtures/Sandbox.h"
#include "servers/ServerCases.h"

namespace ordano::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class SlowLogins : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (const auto why = RealFtpServer::missing(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        server_.emplace(RealFtpServer::Options{
            .kind = RealFtpServer::Kind::PureFtpd, .tls = GetParam(), .slow_logins = true});
        office_.emplace(sandbox_, *server_, ServedOffice::Options{.tls = GetParam()});
    }
    // Puts the two answers of today's M file `n` (1 to 9) on the server; returns their names.
    std::vector<std::string> answers_there(int n) {
        const std::string number = "00" + std::to_string(n);
        const std::vector<std::string> names{"k0015" + number + "." + ServedOffice::julian(),
                                             "M0015" + number + ".err"};
        for (const auto& answer : names) {
            server_->put_file("/ag0015/" + answer, "501|" + answer + "|\r\n");
        }
        return names;
    }
    void expect_stored(const std::vector<std::string>& answers) const {
        for (const auto& answer : answers) {
            EXPECT_EQ(Sandbox::read_file(office_->receive_folder() / answer),
                      "501|" + answer + "|\r\n");
        }
    }

    Sandbox sandbox_;
    std::optional<RealFtpServer> server_;
    std::optional<ServedOffice> office_;
};

// Both answers are there: the session logged in fetches them both, at once, while a second one
// would still be logging in. (Handed to a second session, one answer waited for its login and
// the look outlasted its 8 s over TLS.)
TEST_P(SlowLogins, AnswersAlreadyThereAreFetchedByTheSessionLoggedIn) {
    const std::string name = office_->today_file(1, "M|4000001|\r\n");
    const auto answers = answers_there(1);
    const ProcessResult run = office_->cli({"-v", "receive", "--wait", "8", name});
    EXPECT_EQ(run.status, 0) << run.err;
    expect_stored(answers);
    EXPECT_THAT(run.out + run.err, Not(HasSubstr("eftpRecepcion#2 > USER")));
}

// Small files and their answers: no extra session is opened for work done long before its
// login would end.
TEST_P(SlowLogins, AnExchangeOfSmallFilesOpensNoSessionItCannotUse) {
    std::vector<std::string> args{"-v", "send", "--wait", "30"};
    std::vector<std::vector<std::string>> answered;
    for (int n = 1; n <= 4; ++n) {
        args.push_back(office_->today_file(n, "M|400000" + std::to_string(n) + "|\r\n"));
        answered.push_back(answers_there(n));
    }
    const ProcessResult run = office_->cli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const auto& answers : answered) {
        expect_stored(answers);
    }
    EXPECT_THAT(run.out + run.err, HasSubstr("eftpEnvio > USER"));
    EXPECT_THAT(run.out + run.err, Not(HasSubstr("#2 > USER")));
}

INSTANTIATE_TEST_SUITE_P(PureFtpd, SlowLogins, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Tls" : "Plain"; });

}  // namespace
}  // namespace ordano::test
