// SPDX-License-Identifier: Apache-2.0
// Each exit status of ordano-cli from its real cause, against the real FTP server.
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/ExitCodes.h"
#include "cli/ServedOffice.h"
#include "fixtures/ChildProcess.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class ExitStatusTest : public ServedOfficeTest {
protected:
    void point_office_at(const std::string& host) {
        SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
        SQLite::Statement update(db,
                                 "UPDATE PARAMETROS SET Host_Ras=?1, Host_Internet=?1, Host=?1");
        update.bind(1, host);
        update.exec();
    }
};

TEST_F(ExitStatusTest, EachCauseEndsWithItsOwnStatus) {
    const std::string name = today_file(1, "501|1|\r\n");

    server.set_faults({.refuse_logins = true});
    const auto refused = cli({"send", name});
    EXPECT_EQ(refused.status, 4) << refused.err;

    server.set_faults({.cut_after_bytes = 2});
    const auto broken = cli({"send", name});
    EXPECT_EQ(broken.status, 5) << broken.err;
    server.clear_faults();

    const auto missing = cli({"send", "M0015077.001"});
    EXPECT_EQ(missing.status, 7) << missing.err;
    EXPECT_THAT(missing.err, HasSubstr("ordano-cli send: El archivo juliano no existe"));

    const auto unanswered = cli({"send", "--wait", "1", "--json", name});
    EXPECT_EQ(unanswered.status, 6) << unanswered.err;
    EXPECT_TRUE(server.file_bytes("valin/" + name).has_value());
    const auto answers = QJsonDocument::fromJson(QByteArray::fromStdString(unanswered.out))
                             .object()["files"][0]["answers"]
                             .toArray();
    ASSERT_EQ(answers.size(), 2) << unanswered.out;
    EXPECT_EQ(answers[0]["path"].toString(), "missing");
    EXPECT_EQ(answers[1]["path"].toString(), "missing");

    point_office_at("127.0.0.1:1");  // nothing listens there
    const auto unreachable = cli({"update-catalog"});
    EXPECT_EQ(unreachable.status, 3) << unreachable.err;

    fs::remove(office.ini_file);
    const auto no_settings = cli({"update-catalog"});
    EXPECT_EQ(no_settings.status, 7);
    EXPECT_THAT(no_settings.err, HasSubstr("ordano-cli update-catalog: "));
}

// Two causes at once end with the one a person must mend first: 2, 8, 4, 7, 3, 5, 6, 1.
TEST(ExitPrecedence, TheCauseToMendFirstWinsInEitherOrder) {
    const int order[] = {2, 8, 4, 7, 3, 5, 6, 1};
    for (std::size_t first = 0; first < std::size(order); ++first) {
        for (std::size_t later = first + 1; later < std::size(order); ++later) {
            for (const auto& [a, b] : {std::pair(first, later), std::pair(later, first)}) {
                cli::ExitCause cause;
                cause.add(order[a]);
                cause.add(order[b]);
                EXPECT_EQ(cause.code(), order[first]) << order[a] << " then " << order[b];
            }
        }
    }
}

TEST_F(ExitStatusTest, AMissingFileOutranksAnUnreachableServer) {
    const std::string name = today_file(1, "501|1|\r\n");
    point_office_at("127.0.0.1:1");  // nothing listens there
    const auto run = cli({"send", "M0015077.001", name});
    EXPECT_EQ(run.status, 7) << run.err;
    EXPECT_THAT(run.err, HasSubstr("No se envió el archivo " + name));
}

// The receive folder's disk is full (another disk than the working folder's): a local problem
// to mend (7), ranked before the answers it leaves missing (6).
TEST_F(ExitStatusTest, AFullDiskForTheAnswersIsALocalProblem) {
    const std::string name = today_file(1, "501|1|\r\n");
    server.put_file("ag0015/M0015001.err", std::string(200 * 1000, 'E'));
    const auto run = run_in_child({.small_disk = receive_folder().string()}, [&] {
        const ProcessResult sent = cli({"send", "--wait", "8", name});
        return std::to_string(sent.status) + " " + sent.err;
    });
    if (!run) {
        GTEST_SKIP() << "a child process cannot have a small disk of its own here";
    }
    EXPECT_THAT(*run, ::testing::StartsWith("7 "));
    EXPECT_THAT(*run, HasSubstr("El disco está lleno"));
}

// A negotiation that fails (the server speaks TLS 1.3 alone) is 1036, the encrypted connection
// refused: 4.
TEST_F(ExitStatusTest, AFailedTlsNegotiationIsARefusal) {
    const FtpServer tls_server({.tls = FtpServerTls{.tls_1_3_only = true}});
    point_office_at(tls_server.address());
    SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
    SQLite::Statement tls(db, "UPDATE PARAMETROS SET tls = -1, tls_ca = ?");
    tls.bind(1, tls_server.authority_file().string());
    tls.exec();
    const auto run = cli({"update-catalog"});
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_THAT(run.err, HasSubstr("1036"));
    EXPECT_THAT(run.err, HasSubstr("Falló la negociación de la conexión cifrada con el servidor " +
                                   tls_server.address()));
}

// -q keeps only results and errors; -v shows the FTP conversation, never the password.
TEST_F(ExitStatusTest, QuietAndVerbose) {
    const std::string name = today_file(1, "501|1|\r\n");
    const auto verbose = cli({"-v", "send", name});
    EXPECT_EQ(verbose.status, 0) << verbose.err;
    EXPECT_THAT(verbose.err, HasSubstr("> USER ag0015\n"));
    EXPECT_THAT(verbose.err, HasSubstr("> PASS ****\n"));
    EXPECT_THAT(verbose.err, HasSubstr("< 230"));
    EXPECT_THAT(verbose.err, HasSubstr("> STOR ." + name + ".parte"));
    EXPECT_THAT(verbose.err, HasSubstr("> RNTO " + name));
    EXPECT_THAT(verbose.err, ::testing::Not(HasSubstr("secreto")));

    server.put_file("update/revact.txt", "0000");
    const auto normal = cli({"update-catalog"});
    const auto quiet = cli({"update-catalog", "--quiet"});
    EXPECT_THAT(normal.out, HasSubstr("Paso 1 - "));
    EXPECT_EQ(quiet.out, "No existen actualizaciones del catálogo!!!\n");
    EXPECT_EQ(quiet.err, "");
}

}  // namespace
}  // namespace ordano::test
