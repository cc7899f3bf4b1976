// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/TimeStamps.h"
#include "cli/ServedOffice.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Reads a JSON array of journal entries and prints one line per entry with the fields a
// script relies on, so the test sees the document as a program reading it would.
constexpr const char* kJsonDigest = R"py(
import json, sys
for e in json.load(sys.stdin):
    answers = ["%s:%s:%s" % (a["role"], a["name"], "stored" if "stored_path" in a else "awaited")
               for a in e["answers"]]
    print(e["file"], e["kind"], e["status"], "sent" if "sent_at" in e else "unsent",
          " ".join(answers), " ".join(str(f["number"]) for f in e["failures"]))
)py";

// ordano-cli, on an office served by the real FTP server of the tests, can be killed midway.
class JournalCliTest : public ServedOfficeTest {
protected:
    // The JSON that a command printed, as kJsonDigest reads it.
    std::vector<std::string> digest(const std::vector<std::string>& args) {
        const auto run = cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return read_with_python(kJsonDigest, run.out);
    }
    static bool has_bytes(const fs::path& file) {
        std::error_code ec;
        return fs::file_size(file, ec) > 0 && !ec;
    }
};

TEST_F(JournalCliTest, AwaitedAnswersAreFetchedByALaterRunAndListedAsJson) {
    EXPECT_EQ(cli({"pending", "--json"}).out, "[]\n");
    const std::string m = today_file(1, "m");
    const std::string c = today_file(2, "c", 'C');
    ASSERT_EQ(cli({"send", m, c}).status, 0);

    EXPECT_THAT(
        digest({"pending", "--json"}),
        ElementsAre("M0015001." + julian() + " M esperando sent prevalidation:k0015001." +
                        julian() + ":awaited validation:M0015001.err:awaited ",
                    "C0015002." + julian() + " C esperando sent validation:C0015002.err:awaited "));

    server.put_file("ag0015/C0015002.err", "200|15|CURP|77|FIRMA|\r\n");
    server.put_file("ag0015/k0015001." + julian(), "prevalidación");
    const auto received = cli({"receive", "--pending"});
    EXPECT_EQ(received.status, 0) << received.err;
    EXPECT_THAT(received.err, HasSubstr("M0015001." + julian() + " (validación M0015001.err)"));

    EXPECT_THAT(
        digest({"history", "--json"}),
        ElementsAre("M0015001." + julian() + " M prevalidado sent prevalidation:k0015001." +
                        julian() + ":stored validation:M0015001.err:awaited ",
                    "C0015002." + julian() + " C aceptado sent validation:C0015002.err:stored "));
    EXPECT_THAT(
        digest({"history", "--status", "aceptado", "--json"}),
        ElementsAre("C0015002." + julian() + " C aceptado sent validation:C0015002.err:stored "));
    const auto table = cli({"history", "--since", iso_date(SystemClock().today())});
    EXPECT_THAT(table.out, HasSubstr("C0015002." + julian()));
    EXPECT_THAT(table.out, HasSubstr("Enviados: 2   En espera: 1   Atrasados: 0   Aceptados: 1   "
                                     "Rechazados: 0"));
    EXPECT_EQ(cli({"history", "--status", "perdido"}).status, 2);
    EXPECT_EQ(cli({"receive", "--pending", m}).status, 2);
}

// The readers work alongside a program that holds the office: today's scheduled changes are
// left to it, however often they look.
TEST_F(JournalCliTest, ReadersChangeNothingInTheOffice) {
    SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
    SQLite::Statement schedule(
        db, "INSERT INTO ACTUALIZACIONES (CAMPO, VALOR, FECHA) VALUES (2, '/nuevo/valin', ?)");
    schedule.bind(1, iso_date(SystemClock().today()));
    schedule.exec();
    for (const char* reader : {"history", "pending", "review"}) {
        (void)cli({reader, reader == std::string("review") ? "M0015009.err" : "--json"});
    }
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM ACTUALIZACIONES").getInt(), 1);
    EXPECT_EQ(db.execAndGet("SELECT kro_valin FROM PARAMETROS").getString(), "/valin");
}

// An answer awaited for 10 minutes is overdue by the office's own limit of 5 (not the default).
TEST_F(JournalCliTest, HistoryTellsOverdueByTheOfficesOwnLimit) {
    SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
    db.exec("UPDATE PARAMETROS SET min_atraso = 5");
    SQLite::Statement row(db,
                          "INSERT INTO BITACORA (archivo, tipo, estado, esperando, momento, "
                          "espera_desde, val_archivo) VALUES ('M0015001.033', 'M', 'esperando', "
                          "1, ?1, ?1, 'M0015001.err')");
    row.bind(1, iso_timestamp(add_minutes(SystemClock().now(), -10)));
    row.exec();
    EXPECT_THAT(digest({"history", "--json"}),
                ElementsAre("M0015001.033 M atrasado unsent validation:M0015001.err:awaited "));
}

TEST_F(JournalCliTest, KilledMidUploadIsNeverCountedAsSent) {
    const std::string m = today_file(1, std::string(2'000'000, 'x'));
    FtpFaults slow;
    slow.throttle_bytes_per_second = 200'000;
    server.set_faults(slow);
    StartedProcess sending = start({"send", m});
    // Killed once the server has part of the file and the journal knows the upload began.
    ASSERT_TRUE(FtpServer::wait_for(
        [&] {
            return has_bytes(server.local_path("valin/." + m + ".parte")) &&
                   cli({"history", "--json"}).out.find("\"size\":2000000") != std::string::npos;
        },
        std::chrono::seconds(30)));
    sending.send_signal(SIGKILL);  // as a power cut would
    sending.finish();
    server.clear_faults();

    EXPECT_THAT(digest({"history", "--json"}), ElementsAre(m + " M en envío unsent  "));
    // The next run that takes up the office's open work sees the upload was cut short.
    EXPECT_THAT(cli({"receive", "--pending"}).err, HasSubstr("No hay respuestas en espera."));
    EXPECT_THAT(digest({"history", "--json"}), ElementsAre(m + " M error unsent  0"));
    EXPECT_THAT(digest({"pending", "--json"}), IsEmpty());
}

// What a killed run left under a temporary name goes at the next sending run, once the file is
// no longer to be sent; a temporary-looking file the journal does not know stays.
TEST_F(JournalCliTest, AKilledRunsLeftoverIsRemovedByTheNextRunAndNothingElse) {
    const std::string m = today_file(1, std::string(2'000'000, 'x'));
    server.put_file("valin/.M0015009.343.parte", "no es nuestro");
    server.set_faults({.throttle_bytes_per_second = 200'000});
    StartedProcess sending = start({"send", m});
    const fs::path leftover = server.local_path("valin/." + m + ".parte");
    // Killed once the server has part of the file and the journal knows the upload began.
    ASSERT_TRUE(FtpServer::wait_for(
        [&] {
            return has_bytes(leftover) &&
                   cli({"history", "--json"}).out.find("\"size\":2000000") != std::string::npos;
        },
        std::chrono::seconds(30)));
    sending.send_signal(SIGKILL);
    sending.finish();
    server.clear_faults();
    fs::remove(send_folder() / m);  // no longer to be sent

    const std::string c = today_file(2, "c", 'C');
    EXPECT_EQ(cli({"send", c}).status, 0);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(server.file_bytes("valin/.M0015009.343.parte") == "no es nuestro");
    EXPECT_TRUE(server.file_bytes("valin/" + c) == "c");
}

// The server cuts the session mid-upload: nothing stays on the server, and standard error says
// why the file was not sent, with its number.
TEST_F(JournalCliTest, AnUploadTheServerCutsSaysWhyAndLeavesNothing) {
    const std::string m = today_file(1, std::string(400'000, 'x'));
    server.set_faults({.cut_after_bytes = 100'000});
    const ProcessResult run = cli({"send", m});
    EXPECT_EQ(run.status, 5) << run.err;
    EXPECT_THAT(run.err, HasSubstr("No se envió el archivo " + m + " (error 1000: "));
    EXPECT_TRUE(fs::is_empty(server.local_path("valin")));
}

TEST_F(JournalCliTest, KilledMidAnswerLeavesItAwaitedAndNothingPartial) {
    const std::string c = today_file(1, "c", 'C');
    ASSERT_EQ(cli({"send", c}).status, 0);
    const std::string answer = "200|15|CURP|77|" + std::string(2'000'000, 'F') + "|\r\n";
    server.put_file("ag0015/C0015001.err", answer);
    FtpFaults slow;
    slow.throttle_bytes_per_second = 200'000;
    server.set_faults(slow);
    StartedProcess receiving = start({"receive", "--pending", "--wait", "60"});
    // The download lands in the process's own working folder under OrdanoTmp.
    const fs::path work = office.drive_root / "OrdanoTmp";
    ASSERT_TRUE(FtpServer::wait_for(
        [&] {
            std::error_code ec;
            for (const auto& entry : fs::recursive_directory_iterator(work, ec)) {
                if (has_bytes(entry.path())) {
                    return true;
                }
            }
            return false;
        },
        std::chrono::seconds(30)));
    receiving.send_signal(SIGKILL);
    receiving.finish();
    server.clear_faults();

    EXPECT_FALSE(fs::exists(receive_folder() / "C0015001.err"));
    EXPECT_THAT(digest({"pending", "--json"}),
                ElementsAre(c + " C esperando sent validation:C0015001.err:awaited "));
    const auto again = cli({"receive", "--pending", "--wait", "30"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Sandbox::read_file(receive_folder() / "C0015001.err"), answer);
    EXPECT_THAT(digest({"history", "--json"}),
                ElementsAre(c + " C aceptado sent validation:C0015001.err:stored "));
}

}  // namespace
}  // namespace ordano::test
