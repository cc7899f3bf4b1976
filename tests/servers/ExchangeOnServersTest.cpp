// SPDX-License-Identifier: Apache-2.0
// The office's exchange with each FTP server offices meet (the project's own, ProFTPD, vsftpd,
// pure-ftpd; plain and with explicit TLS), run as `ordano-cli` runs it: sending every kind of
// file, answers that arrive later, answer folders empty, missing, crowded or in small letters,
// and a server that takes one connection per address.
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/Scramble.h"
#include "cli/ServedOffice.h"
#include "servers/ServerCases.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::UnorderedElementsAreArray;

struct RemoteFile {
    std::string path;  // on the server: "/ag0015/M0015001.err"
    std::string bytes;
};

// Plays the validation server's part: writes answers into the server's tree some time after
// the upload of the file they answer is complete (or after a start, for files never sent).
class Answerer {
public:
    explicit Answerer(const TestFtpServer& server)
        : server_(server), thread_([this](std::stop_token stop) { run(stop); }) {}

    void after_upload(std::string sent, std::vector<RemoteFile> answers) {
        std::lock_guard lock(mutex_);
        pending_.push_back({std::move(sent), std::nullopt, std::move(answers)});
    }
    void after_start(std::chrono::milliseconds delay, std::vector<RemoteFile> answers) {
        std::lock_guard lock(mutex_);
        pending_.push_back({"", Clock::now() + delay, std::move(answers)});
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kDelay = 2s;
    struct Pending {
        std::string sent;
        std::optional<Clock::time_point> due;
        std::vector<RemoteFile> answers;
    };

    void run(const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(20ms);
            std::lock_guard lock(mutex_);
            const auto transfers = server_.transfers();
            for (auto& pending : pending_) {
                if (!pending.due && uploaded(transfers, pending.sent)) {
                    pending.due = Clock::now() + kDelay;
                }
                if (pending.due && Clock::now() >= *pending.due) {
                    for (const auto& answer : pending.answers) {
                        server_.put_file(answer.path, answer.bytes);
                    }
                    pending.answers.clear();
                }
            }
        }
    }
    static bool uploaded(const std::vector<FtpTransfer>& transfers, const std::string& path) {
        return std::any_of(transfers.begin(), transfers.end(), [&](const FtpTransfer& t) {
            return t.direction == FtpTransfer::Direction::Upload && t.complete && t.path == path;
        });
    }

    const TestFtpServer& server_;
    std::mutex mutex_;
    std::vector<Pending> pending_;
    std::jthread thread_;
};

class ExchangeOnServers : public ::testing::TestWithParam<ServerCase> {
protected:
    void SetUp() override {
        if (const auto why = missing_for(GetParam()); !why.empty()) {
            GTEST_SKIP() << why;
        }
    }

    void serve(int max_per_address = 0) {
        server_ = start_server(GetParam(), max_per_address);
        office_.emplace(sandbox_, *server_, ServedOffice::Options{.tls = GetParam().tls});
        answerer_.emplace(*server_);
        julian_ = ServedOffice::julian();
    }

    // Today's file of a kind and number, holding a line that names it.
    std::string today(char kind, int n) {
        return office_->today_file(
            n, std::string(1, kind) + "|400000" + std::to_string(n) + "|\r\n", kind);
    }
    // An answer's file, with bytes of its own.
    RemoteFile answer(const std::string& path) const { return {path, "501|" + path + "|\r\n"}; }

    // The office printed where it stored each answer, all in `local`.
    void expect_stored(const std::vector<RemoteFile>& answers, const fs::path& local,
                       const ProcessResult& run) {
        std::vector<std::string> paths;
        for (const auto& a : answers) {
            paths.push_back((local / fs::path(a.path).filename()).string());
        }
        EXPECT_THAT(lines_of(run.out), UnorderedElementsAreArray(paths)) << run.err;
    }

    Sandbox sandbox_;
    std::unique_ptr<TestFtpServer> server_;
    std::optional<ServedOffice> office_;
    std::optional<Answerer> answerer_;
    std::string julian_;
};

// The usual day: no payment-password file on the server (the office knows its password), one
// file of every kind, answers a couple of seconds after each upload.
TEST_P(ExchangeOnServers, SendsEveryKindAndStoresItsAnswers) {
    serve();
    for (const char* folder : {"pagin", "sagarpain", "kroout", "sagarpaout"}) {
        server_->make_folder(folder);
    }
    SQLite::Database db(office_->office.db_file.string(), SQLite::OPEN_READWRITE);
    SQLite::Statement update(db, "UPDATE PARAMETROS SET PassBan=?");
    update.bind(1, scramble("pago123"));
    update.exec();
    const std::vector<std::string> names{today('M', 1), today('C', 2), today('E', 4),
                                         today('S', 5)};
    const std::string j = julian_;
    // Each file where it goes, and its answers with the kind of file whose receive folder
    // keeps them.
    const std::vector<std::pair<std::string, std::vector<std::pair<RemoteFile, char>>>> plan{
        {"/valin/" + names[0],
         {{answer("/ag0015/k0015001." + j), 'M'}, {answer("/ag0015/M0015001.err"), 'M'}}},
        {"/valin/" + names[1], {{answer("/ag0015/C0015002.err"), 'C'}}},
        {"/pagin/" + names[2],
         {{answer("/ke001504." + j), 'M'}, {answer("/kroout/a0015004." + j), 'E'}}},
        {"/sagarpain/" + names[3], {{answer("/sagarpaout/x0015005." + j), 'S'}}},
    };
    for (const auto& [sent, answers] : plan) {
        std::vector<RemoteFile> files;
        for (const auto& answer : answers) {
            files.push_back(answer.first);
        }
        answerer_->after_upload(sent, files);
    }
    std::vector<std::string> args{"send", "--wait", "30", "--password-stdin"};
    args.insert(args.end(), names.begin(), names.end());

    const auto run = office_->cli(args, "pago123\n");

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.err, Not(HasSubstr("Error No.")));
    std::vector<std::string> stored;
    for (const auto& [sent, answers] : plan) {
        for (const auto& [a, kept_by] : answers) {
            const auto local = office_->receive_folder(kept_by) / fs::path(a.path).filename();
            stored.push_back(local.string());
            EXPECT_EQ(Sandbox::read_file(local), a.bytes) << local;
        }
        const auto name = fs::path(sent).filename();
        EXPECT_EQ(server_->file_bytes(sent),
                  Sandbox::read_file(office_->send_folder(name.string().front()) / name));
    }
    EXPECT_THAT(lines_of(run.out), UnorderedElementsAreArray(stored));
    int uploads = 0;
    for (const auto& transfer : server_->transfers()) {
        if (transfer.direction == FtpTransfer::Direction::Upload) {
            ++uploads;
            EXPECT_TRUE(transfer.complete) << transfer.path;
        }
    }
    EXPECT_EQ(uploads, 4);
}

// What the answer folder looks like when the office starts asking for a file's answers.
enum class FolderState { Empty, Missing, Crowded, SmallLetters };

class ReceptionOnServers : public ExchangeOnServers {
protected:
    // Asks for the answers of today's M file 1 (never sent by this office) with the answer
    // folder as `state` says, and checks what the office stored.
    void receive_with(FolderState state) {
        serve();
        const std::string name = today('M', 1);
        const std::vector<RemoteFile> answers{answer("/ag0015/k0015001." + julian_),
                                              answer("/ag0015/M0015001.err")};
        if (state == FolderState::Missing) {
            fs::remove_all(server_->local_path("ag0015"));
        }
        if (state == FolderState::Crowded) {
            for (int i = 0; i < 1000; ++i) {
                server_->put_file("ag0015/M" + std::to_string(1000000 + i) + ".err", "x");
            }
        }
        if (state == FolderState::Empty || state == FolderState::Missing) {
            // Between the first poll, 2 s after the start, and the second, 5 s later.
            answerer_->after_start(4500ms, answers);
        } else {
            for (const auto& a : answers) {
                std::string served = a.path;
                if (state == FolderState::SmallLetters) {
                    std::transform(served.begin(), served.end(), served.begin(), ::tolower);
                }
                server_->put_file(served, a.bytes);  // "/ag0015/m0015001.err"
            }
        }

        const auto run = office_->cli({"receive", "--wait", "30", name});

        ASSERT_EQ(run.status, 0) << run.err;
        // No poll of the empty or missing folder reported a failure meanwhile.
        EXPECT_THAT(run.err, Not(HasSubstr("Error No."))) << run.err;
        expect_stored(answers, office_->receive_folder(), run);
        for (const auto& a : answers) {
            EXPECT_EQ(Sandbox::read_file(office_->receive_folder() / fs::path(a.path).filename()),
                      a.bytes);
        }
    }
};

TEST_P(ReceptionOnServers, AnswersComingIntoAnEmptyFolder) {
    receive_with(FolderState::Empty);
}

TEST_P(ReceptionOnServers, AnswersComingWithTheirFolder) {
    receive_with(FolderState::Missing);
}

TEST_P(ReceptionOnServers, AnswersAmongAThousandOtherFiles) {
    receive_with(FolderState::Crowded);
}

TEST_P(ReceptionOnServers, AnswersNamedInSmallLetters) {
    receive_with(FolderState::SmallLetters);
}

// A server that takes one connection per address: each session of the office ends before the
// next one starts.
TEST_P(ExchangeOnServers, SendsAndReceivesOverOneConnectionPerAddress) {
    serve(1);
    const std::string name = today('M', 1);
    const std::vector<RemoteFile> answers{answer("/ag0015/k0015001." + julian_),
                                          answer("/ag0015/M0015001.err")};
    answerer_->after_upload("/valin/" + name, answers);

    const auto run = office_->cli({"send", "--wait", "30", name});

    ASSERT_EQ(run.status, 0) << run.err;
    expect_stored(answers, office_->receive_folder(), run);
}

// Eighteen files on a server that takes two connections per address, with the payment
// password's file missing on the server (550): the extra sessions never keep the run's own
// session from logging in again, and a refused login there is a limit, not a wrong password.
TEST_P(ExchangeOnServers, EveryFileGoesOnATwoSessionServer) {
    serve(2);
    std::vector<std::string> args{"send"};
    for (const char kind : {'M', 'C'}) {
        for (int n = 1; n <= 9; ++n) {
            args.push_back(today(kind, n));
        }
    }
    const auto run = office_->cli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 1; i < args.size(); ++i) {
        EXPECT_TRUE(server_->file_bytes("valin/" + args[i]).has_value()) << args[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, ExchangeOnServers, ::testing::ValuesIn(server_cases()),
                         param_name);
INSTANTIATE_TEST_SUITE_P(Servers, ReceptionOnServers, ::testing::ValuesIn(server_cases()),
                         param_name);

}  // namespace
}  // namespace ordano::test
