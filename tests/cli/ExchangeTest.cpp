// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/DemoServer.h"
#include "cli/ServedOffice.h"
#include "platform/FileLock.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAreArray;

constexpr int kPatente = 15;
// As the demo server's README writes it: the program lower-cases it before it logs in.
constexpr const char* kFtpPassword = "CLAVE";
constexpr const char* kPaymentPassword = "pago123";  // what the demo server publishes

// The office the demo server's README sets up.
OfficeSetup demo_office(const DemoServer& server) {
    OfficeSetup setup = TestOffice::default_setup();
    setup.patente = kPatente;
    setup.agente = "AGENTE DEMO";
    setup.host = server.address();
    setup.ftp_password = kFtpPassword;
    return setup;
}

// A demo office on the demo server, with today's files of every kind in its send folders;
// ordano-cli runs as a program on it.
class CliExchangeTest : public ::testing::Test {
protected:
    explicit CliExchangeTest(double answer_delay = 0.5)
        : server_(sandbox_.path() / "server", kPatente, kFtpPassword, answer_delay),
          served_(sandbox_, demo_office(server_)) {}

    ProcessResult cli(const std::vector<std::string>& args, const std::string& input = "") {
        return served_.cli(args, input);
    }

    // Today's file of a kind with a number, e.g. ('M', 1) -> M0015001.<julian>, written into
    // the send folder of its kind.
    std::string today_file(char kind, int number) {
        return served_.today_file(number, "501|" + std::to_string(4000000 + number) + "|DEMO|\r\n",
                                  kind);
    }

    std::string local_bytes(const fs::path& file) {
        return fs::exists(file) ? Sandbox::read_file(file) : "<missing>";
    }

    Sandbox sandbox_;
    DemoServer server_;
    ServedOffice served_;
    const std::string julian_ = ServedOffice::julian();
};

TEST_F(CliExchangeTest, SendsEveryKindAndStoresEachAnswerInItsFolder) {
    const std::vector<std::string> names{today_file('M', 1), today_file('C', 2), today_file('D', 3),
                                         today_file('E', 4), today_file('S', 5)};
    std::vector<std::string> args{"send", "--wait", "30", "--password-stdin"};
    args.insert(args.end(), names.begin(), names.end());

    const auto run = cli(args, std::string(kPaymentPassword) + "\n");

    ASSERT_EQ(run.status, 0) << run.err << server_.log();
    const std::string j = julian_;
    const fs::path val_rec = served_.receive_folder();
    // Each stored answer, where it came from on the server and where it went.
    const std::vector<std::pair<std::string, fs::path>> answers{
        {"ag0015/k0015001." + j, val_rec / ("k0015001." + j)},
        {"ag0015/M0015001.err", val_rec / "M0015001.err"},
        {"ag0015/C0015002.err", val_rec / "C0015002.err"},
        {"ag0015/D0015003.erp", val_rec / "D0015003.erp"},
        {"ag0015/D0015003.err", val_rec / "D0015003.err"},
        {"ke001504." + j, val_rec / ("ke001504." + j)},
        {"kroout/a0015004." + j, served_.receive_folder('E') / ("a0015004." + j)},
        {"sagarpaout/x0015005." + j, served_.receive_folder('S') / ("x0015005." + j)},
    };
    std::vector<std::string> expected_paths;
    for (const auto& [remote, local] : answers) {
        expected_paths.push_back(local.string());
        const auto on_server = server_.file_bytes(remote);
        ASSERT_TRUE(on_server.has_value()) << remote;
        EXPECT_THAT(*on_server, Not(IsEmpty())) << remote;
        EXPECT_EQ(local_bytes(local), *on_server) << local;
    }
    EXPECT_THAT(lines_of(run.out), UnorderedElementsAreArray(expected_paths));
    EXPECT_THAT(run.err, HasSubstr("8 de 8 respuestas recibidas"));

    const auto review = cli({"review", "M0015001.err"});
    EXPECT_EQ(review.status, 0) << review.err;
    // The report shows the pedimento the file carries and names the answer it comes from.
    EXPECT_THAT(review.out, HasSubstr("4000001"));
}

// --json: standard output holds one document, each file with its answers' stored paths.
TEST_F(CliExchangeTest, JsonTellsEachFileAndWhereItsAnswersAre) {
    const std::string name = today_file('M', 2);

    const auto run = cli({"send", "--json", "--wait", "30", "m0015099.123", name});

    EXPECT_EQ(run.status, 7) << run.err;
    QJsonParseError error;
    const auto document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    const QJsonObject top = document.object();
    EXPECT_EQ(top["command"].toString(), "send");
    EXPECT_EQ(top["status"].toInt(), 7);
    const QJsonArray files = top["files"].toArray();
    ASSERT_EQ(files.size(), 2);

    const QJsonObject absent = files[0].toObject();
    EXPECT_EQ(absent["file"].toString(), "m0015099.123");
    EXPECT_EQ(absent["kind"].toString(), "M");
    EXPECT_TRUE(absent["remote_folder"].isNull());
    EXPECT_FALSE(absent["done"].toBool());
    EXPECT_EQ(absent["reason"].toString(), "no está en la carpeta de envío de su clase");
    EXPECT_EQ(absent["status"].toInt(), 7);
    EXPECT_TRUE(absent["answers"].toArray().isEmpty());

    const QJsonObject sent = files[1].toObject();
    EXPECT_EQ(sent["file"].toString().toStdString(), name);
    EXPECT_EQ(sent["remote_folder"].toString(), "/valin");
    EXPECT_TRUE(sent["done"].toBool());
    EXPECT_TRUE(sent["reason"].isNull());
    EXPECT_EQ(sent["status"].toInt(), 0);
    const QJsonArray answers = sent["answers"].toArray();
    ASSERT_EQ(answers.size(), 2);
    const fs::path val_rec = served_.receive_folder();
    for (int i = 0; i < 2; ++i) {
        const std::string answer = i == 0 ? "k0015002." + julian_ : "M0015002.err";
        EXPECT_EQ(answers[i].toObject()["name"].toString().toStdString(), answer);
        EXPECT_EQ(answers[i].toObject()["path"].toString().toStdString(),
                  (val_rec / answer).string());
        EXPECT_TRUE(fs::exists(val_rec / answer));
    }
}

// Answers that take longer than the first tick come on a later one, 5 s after it.
class SlowAnswersTest : public CliExchangeTest {
protected:
    SlowAnswersTest() : CliExchangeTest(3.0) {}
};

TEST_F(SlowAnswersTest, WaitingTicksAgainUntilTheAnswersAreIn) {
    const std::string name = today_file('S', 1);
    const auto start = std::chrono::steady_clock::now();

    const auto run = cli({"send", "--wait", "20", name});

    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(
        lines_of(run.out),
        ::testing::ElementsAre((served_.receive_folder('S') / ("x0015001." + julian_)).string()));
    EXPECT_THAT(lines_of(run.err),
                ::testing::ElementsAre("Esperando 1 respuestas (hasta 20 s)",
                                       "Recepción: 0 de 1 respuestas recibidas",
                                       "Recepción: 1 de 1 respuestas recibidas"));
    // The second tick comes 2 + 5 seconds after the run.
    EXPECT_GE(seconds.count(), 7.0);
}

TEST_F(CliExchangeTest, ReceiveFetchesTheAnswersOfFilesAlreadySent) {
    const std::string name = today_file('M', 1);
    const auto sent = cli({"send", name});
    ASSERT_EQ(sent.status, 0) << sent.err;
    EXPECT_THAT(sent.out, IsEmpty());  // nothing waited for, nothing stored

    const auto received = cli({"receive", "--wait", "20", name});

    ASSERT_EQ(received.status, 0) << received.err;
    const fs::path val_rec = served_.receive_folder();
    EXPECT_THAT(lines_of(received.out),
                UnorderedElementsAreArray({(val_rec / ("k0015001." + julian_)).string(),
                                           (val_rec / "M0015001.err").string()}));
    EXPECT_EQ(local_bytes(val_rec / "M0015001.err"), server_.file_bytes("ag0015/M0015001.err"));
}

// The answers are on the server already: receive looks at once, without --wait too.
TEST_F(CliExchangeTest, ReceiveLooksAtTheServerAtOnce) {
    const std::string first = today_file('M', 1);
    const std::string second = today_file('M', 2);
    ASSERT_EQ(cli({"send", first, second}).status, 0);
    ASSERT_TRUE(FtpServer::wait_for([&] {
        return server_.file_bytes("ag0015/M0015001.err") &&
               server_.file_bytes("ag0015/M0015002.err");
    }));
    const fs::path val_rec = served_.receive_folder();

    const auto once = cli({"receive", "--json", first});
    EXPECT_EQ(once.status, 0) << once.err;
    const auto answers = QJsonDocument::fromJson(QByteArray::fromStdString(once.out))
                             .object()["files"][0]["answers"]
                             .toArray();
    ASSERT_EQ(answers.size(), 2) << once.out;
    EXPECT_EQ(answers[1]["path"].toString().toStdString(), (val_rec / "M0015001.err").string());
    EXPECT_TRUE(fs::exists(val_rec / "M0015001.err"));

    const auto waited = cli({"receive", "--wait", "1", second});
    EXPECT_EQ(waited.status, 0) << waited.err;
    EXPECT_THAT(lines_of(waited.out), ::testing::Contains((val_rec / "M0015002.err").string()));
}

TEST_F(CliExchangeTest, TimeRunningOutWithAnswersMissingFails) {
    // Never sent: its answers never come.
    const std::string name = today_file('C', 9);

    const auto run = cli({"receive", "--wait", "3", name});

    EXPECT_EQ(run.status, 6);
    EXPECT_THAT(run.out, IsEmpty());
    EXPECT_THAT(run.err, HasSubstr(name + " (validación C0015009.err)"));
    EXPECT_FALSE(fs::exists(served_.receive_folder() / "C0015009.err"));
}

TEST_F(CliExchangeTest, WrongPaymentPasswordStopsTheRun) {
    const std::string payment = today_file('E', 4);
    const std::string saai = today_file('M', 1);

    const auto run = cli({"send", "--password-stdin", payment, saai}, "pago124\n");

    EXPECT_EQ(run.status, 4);
    EXPECT_THAT(run.err, HasSubstr("Contraseña de pago electrónico no válida"));
    // A payment file on the list makes the password a condition of the whole run.
    EXPECT_THAT(run.err, HasSubstr("No se envió el archivo " + payment));
    EXPECT_THAT(run.err, HasSubstr("No se envió el archivo " + saai));
    EXPECT_THAT(server_.log(), Not(HasSubstr(payment)));
    EXPECT_THAT(server_.log(), Not(HasSubstr(saai)));
}

TEST_F(CliExchangeTest, PaymentFileWithoutPasswordOptionIsRefused) {
    const std::string payment = today_file('E', 4);

    const auto run = cli({"send", payment});

    EXPECT_EQ(run.status, 4);
    EXPECT_THAT(run.err, HasSubstr("--password-stdin"));
    EXPECT_THAT(server_.log(), Not(HasSubstr(payment)));
}

TEST_F(CliExchangeTest, AFileOfAnotherDayIsNotSent) {
    const std::string today = today_file('M', 1);
    const std::string other_day = "M0015002." + std::string(julian_ == "001" ? "002" : "001");
    sandbox_.write_file(served_.send_folder() / other_day, "501|4000002|DEMO|\r\n");

    const auto run = cli({"send", other_day, today});

    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("No se envió el archivo " + other_day));
    EXPECT_THAT(run.err, Not(HasSubstr("No se envió el archivo " + today)));
    EXPECT_THAT(server_.log(), Not(HasSubstr(other_day)));
    EXPECT_THAT(server_.log(), HasSubstr(today));
}

// An input folder the server does not have refuses the upload: the run asks whether to retry.
TEST_F(CliExchangeTest, RetryQuestionsAreAnsweredByYesAFewTimesThenNo) {
    const std::string name = today_file('C', 6);
    SQLite::Database(served_.office.db_file.string(), SQLite::OPEN_READWRITE)
        .exec("UPDATE PARAMETROS SET kro_valin='/no-existe'");

    const auto refused = cli({"send", name});
    const auto retried = cli({"send", "--yes", name});

    // Either way the file is not sent once the question is answered No: a failed transfer.
    EXPECT_EQ(refused.status, 5) << refused.err;
    EXPECT_THAT(refused.err, HasSubstr("¿deseas reintentar el envío?"));
    EXPECT_THAT(refused.err, HasSubstr("-> No (pregunta rechazada"));
    EXPECT_EQ(retried.status, 5) << retried.err;
    std::size_t yes = 0;
    for (auto at = retried.err.find("-> Sí (--yes)"); at != std::string::npos;
         at = retried.err.find("-> Sí (--yes)", at + 1)) {
        ++yes;
    }
    EXPECT_EQ(yes, 3u);
    EXPECT_THAT(retried.err, HasSubstr("no se reintenta más"));
}

TEST_F(CliExchangeTest, ALowerCaseFileIsSentUnderItsUpperCaseName) {
    const std::string name = "m0015006." + julian_;
    sandbox_.write_file(served_.send_folder() / name, "501|4000006|DEMO|\r\n");
    const auto run = cli({"send", name});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(server_.file_bytes("valin/M0015006." + julian_), "501|4000006|DEMO|\r\n");
}

TEST_F(CliExchangeTest, UsageErrorsAndMissingFiles) {
    EXPECT_EQ(cli({"send"}).status, 2);
    EXPECT_EQ(cli({"send", "--wait", "diez", today_file('M', 1)}).status, 2);
    EXPECT_EQ(cli({"receive", "--wait", "-1", today_file('M', 1)}).status, 2);
    EXPECT_EQ(cli({"send", "valin/M0015001." + julian_}).status, 2);
    EXPECT_EQ(cli({"send", "--tarde", today_file('M', 1)}).status, 2);

    const auto missing = cli({"send", "M0015077." + julian_});
    EXPECT_EQ(missing.status, 7);
    EXPECT_THAT(missing.err, HasSubstr("El archivo juliano no existe en las rutas configuradas: "
                                       "M0015077." +
                                       julian_));
    const auto unknown_kind = cli({"send", "Q0015001." + julian_});
    EXPECT_EQ(unknown_kind.status, 7);
}

// One program at a time on an office: a second one is refused at once naming the first and
// sends nothing, a reader still works, and a killed holder leaves nothing that blocks.
TEST_F(CliExchangeTest, SecondProgramOnTheOfficeIsRefusedUntilTheFirstIsGone) {
    const std::string m = today_file('M', 1);
    const fs::path val_rec = served_.receive_folder();
    sandbox_.write_file(val_rec / "M0015009.err", "501|4000009|\r\n");
    // A reception waiting for an answer that never comes holds the office meanwhile.
    StartedProcess holder = served_.start({"receive", "--wait", "300", m});
    const fs::path lock_file = sandbox_.path() / "office" / "Ordano.lock";
    ASSERT_TRUE(FtpServer::wait_for([&] { return !read_lock_note(lock_file).empty(); },
                                    std::chrono::seconds(30)));

    const auto refused = cli({"send", m});
    EXPECT_EQ(refused.status, 8);
    EXPECT_EQ(refused.err,
              "ordano-cli send: La oficina de " + (sandbox_.path() / "office").string() +
                  " está en uso por otro programa de Ordano (PID " + std::to_string(holder.pid()) +
                  ", ordano-cli receive). Espera a que termine, o ciérralo, y vuelve "
                  "a intentarlo.\n");
    EXPECT_EQ(server_.file_bytes("valin/" + m), std::nullopt);
    EXPECT_EQ(cli({"review", "M0015009.err"}).status, 0);

    holder.send_signal(SIGKILL);
    (void)holder.finish();
    const auto after = cli({"send", m});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_TRUE(server_.file_bytes("valin/" + m).has_value());
}

}  // namespace
}  // namespace ordano::test
