// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliProcess.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "base/DateTime.h"
#include "office/Office.h"
#include "base/TimeStamps.h"

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

// An office made by `ordano-cli init` against the real FTP server of the tests; ordano-cli
// runs as a program on it, and can be killed midway.
class JournalCliTest : public ::testing::Test {
protected:
    JournalCliTest() {
        for (const char* folder : {"valin", "pagin", "sagarpain", "update", "ag0015"}) {
            server_.make_folder(folder);
        }
        const auto init =
            cli({"init", "--db-folder", (sandbox_.path() / "office").string(), "--patente", "15",
                 "--agente", "AGENTE", "--host", server_.address(), "--ftp-password", "secreto"});
        if (init.status != 0) {
            throw std::runtime_error("ordano-cli init failed: " + init.err);
        }
        const SystemClock clock;
        PathOptions paths;
        paths.ini = ini_;
        paths.root = root_;
        folders_ = Office::open(paths, clock)->session().folders;
        julian_ = std::to_string(Dia_Juliano(clock.today()));
        julian_.insert(0, 3 - julian_.size(), '0');
    }

    std::vector<std::string> command(const std::vector<std::string>& args) const {
        std::vector<std::string> all{ORDANO_CLI_PROGRAM, "--ini", ini_.string(), "--root",
                                     root_.string()};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
    fs::path scratch() { return sandbox_.path() / ("run" + std::to_string(++runs_)); }
    ProcessResult cli(const std::vector<std::string>& args) {
        return run_process(command(args), "", scratch());
    }
    // The JSON that a command printed, as kJsonDigest reads it.
    std::vector<std::string> digest(const std::vector<std::string>& args) {
        const auto run = cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        const auto read = run_process({"/usr/bin/python3", "-c", kJsonDigest}, run.out, scratch());
        EXPECT_EQ(read.status, 0) << read.err << run.out;
        return lines_of(read.out);
    }
    std::string today_file(const std::string& kind, int number, const std::string& bytes) {
        const std::string name = kind + "0015" + std::string(number < 10 ? "00" : "0") +
                                 std::to_string(number) + "." + julian_;
        sandbox_.write_file(fs::path(folders_.val_env) / name, bytes);
        return name;
    }
    static bool has_bytes(const fs::path& file) {
        std::error_code ec;
        return fs::file_size(file, ec) > 0 && !ec;
    }

    Sandbox sandbox_;
    fs::path ini_ = sandbox_.path() / "Ordano.ini";
    fs::path root_ = sandbox_.path() / "root";
    FtpServer server_;
    LocalFolders folders_;
    std::string julian_;
    int runs_ = 0;
};

TEST_F(JournalCliTest, AwaitedAnswersAreFetchedByALaterRunAndListedAsJson) {
    EXPECT_EQ(cli({"pending", "--json"}).out, "[]\n");
    const std::string m = today_file("M", 1, "m");
    const std::string c = today_file("C", 2, "c");
    ASSERT_EQ(cli({"send", m, c}).status, 0);

    EXPECT_THAT(
        digest({"pending", "--json"}),
        ElementsAre("M0015001." + julian_ + " M esperando sent prevalidation:k0015001." + julian_ +
                        ":awaited validation:M0015001.err:awaited ",
                    "C0015002." + julian_ + " C esperando sent validation:C0015002.err:awaited "));

    server_.put_file("ag0015/C0015002.err", "200|15|CURP|77|FIRMA|\r\n");
    server_.put_file("ag0015/k0015001." + julian_, "prevalidación");
    const auto received = cli({"receive", "--pending"});
    EXPECT_EQ(received.status, 0) << received.err;
    EXPECT_THAT(received.err, HasSubstr("M0015001." + julian_ + " (validación M0015001.err)"));

    EXPECT_THAT(
        digest({"history", "--json"}),
        ElementsAre("M0015001." + julian_ + " M prevalidado sent prevalidation:k0015001." +
                        julian_ + ":stored validation:M0015001.err:awaited ",
                    "C0015002." + julian_ + " C aceptado sent validation:C0015002.err:stored "));
    EXPECT_THAT(
        digest({"history", "--status", "aceptado", "--json"}),
        ElementsAre("C0015002." + julian_ + " C aceptado sent validation:C0015002.err:stored "));
    const auto table = cli({"history", "--since", iso_date(SystemClock().today())});
    EXPECT_THAT(table.out, HasSubstr("C0015002." + julian_));
    EXPECT_THAT(table.out, HasSubstr("Enviados: 2   En espera: 1   Atrasados: 0   Aceptados: 1   "
                                     "Rechazados: 0"));
    EXPECT_EQ(cli({"history", "--status", "perdido"}).status, 2);
    EXPECT_EQ(cli({"receive", "--pending", m}).status, 2);
}

// The readers work alongside a program that holds the office: today's scheduled changes are
// left to it, however often they look.
TEST_F(JournalCliTest, ReadersChangeNothingInTheOffice) {
    SQLite::Database db((sandbox_.path() / "office" / "Prevalida.mdb").string(),
                        SQLite::OPEN_READWRITE);
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
    SQLite::Database db((sandbox_.path() / "office" / "Prevalida.mdb").string(),
                        SQLite::OPEN_READWRITE);
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
    const std::string m = today_file("M", 1, std::string(2'000'000, 'x'));
    FtpFaults slow;
    slow.throttle_bytes_per_second = 200'000;
    server_.set_faults(slow);
    StartedProcess sending(command({"send", m}), "", scratch());
    // Killed once the server has part of the file and the journal knows the upload began.
    ASSERT_TRUE(FtpServer::wait_for(
        [&] {
            return has_bytes(server_.local_path("valin/" + m)) &&
                   cli({"history", "--json"}).out.find("\"size\":2000000") != std::string::npos;
        },
        std::chrono::seconds(30)));
    sending.send_signal(SIGKILL);  // as a power cut would
    sending.finish();
    server_.clear_faults();

    EXPECT_THAT(digest({"history", "--json"}), ElementsAre(m + " M en envío unsent  "));
    // The next run that takes up the office's open work sees the upload was cut short.
    EXPECT_THAT(cli({"receive", "--pending"}).err, HasSubstr("No hay respuestas en espera."));
    EXPECT_THAT(digest({"history", "--json"}), ElementsAre(m + " M error unsent  0"));
    EXPECT_THAT(digest({"pending", "--json"}), IsEmpty());
}

TEST_F(JournalCliTest, KilledMidAnswerLeavesItAwaitedAndNothingPartial) {
    const std::string c = today_file("C", 1, "c");
    ASSERT_EQ(cli({"send", c}).status, 0);
    const std::string answer = "200|15|CURP|77|" + std::string(2'000'000, 'F') + "|\r\n";
    server_.put_file("ag0015/C0015001.err", answer);
    FtpFaults slow;
    slow.throttle_bytes_per_second = 200'000;
    server_.set_faults(slow);
    StartedProcess receiving(command({"receive", "--pending", "--wait", "60"}), "", scratch());
    // The download lands in the process's own working folder under OrdanoTmp.
    const fs::path work = root_ / "OrdanoTmp";
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
    server_.clear_faults();

    EXPECT_FALSE(fs::exists(fs::path(folders_.val_rec) / "C0015001.err"));
    EXPECT_THAT(digest({"pending", "--json"}),
                ElementsAre(c + " C esperando sent validation:C0015001.err:awaited "));
    const auto again = cli({"receive", "--pending", "--wait", "30"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Sandbox::read_file(fs::path(folders_.val_rec) / "C0015001.err"), answer);
    EXPECT_THAT(digest({"history", "--json"}),
                ElementsAre(c + " C aceptado sent validation:C0015001.err:stored "));
}

}  // namespace
}  // namespace ordano::test
