// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "base/Scramble.h"
#include "cli/Cli.h"
#include "fixtures/Sandbox.h"
#include "fixtures/WineHost.h"
#include "office/Settings.h"
#include "platform/OwnerOnly.h"

namespace ordano {
namespace {
using test::Sandbox;

int run_cli(std::vector<std::string> args) {
    args.insert(args.begin(), "ordano-cli");
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    return cli::run(static_cast<int>(argv.size()), argv.data());
}

TEST(InitCommand, CreatesAWorkingOffice) {
    Sandbox box;
    const auto ini = (box.path() / "Ordano.ini").string();
    const auto folder = box.path() / "ofi";
    ASSERT_EQ(run_cli({"--ini", ini, "init", "--db-folder", folder.string(), "--patente", "7",
                       "--agente", "JUAN PÉREZ", "--host", "10.1.1.1:2121"}),
              0);
    EXPECT_EQ(read_database_folder(ini), folder.string());

    SQLite::Database db((folder / "Prevalida.mdb").string());
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM PARAMETROS").getInt(), 1);
    EXPECT_EQ(db.execAndGet("SELECT Agente FROM PARAMETROS").getString(), "JUAN PÉREZ");
    EXPECT_EQ(db.execAndGet("SELECT Host_Internet FROM PARAMETROS").getString(), "10.1.1.1:2121");
    EXPECT_GT(db.execAndGet("SELECT count(*) FROM TIPO_ERRORES").getInt(), 0);
    for (const char* table : {"ACTUALIZACIONES", "ERRORESM", "ERRORESC", "ERRORESD", "ERRORESB",
                              "ERRORESS", "ERRORESA", "INFORMACION"}) {
        EXPECT_TRUE(db.tableExists(table)) << table;
    }
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM sqlite_master WHERE type='index' "
                            "AND name LIKE 'ERRORES%_LOOKUP'")
                  .getInt(),
              6);
    const auto val_env = db.execAndGet("SELECT val_env FROM PARAMETROS").getString();
    EXPECT_TRUE(std::filesystem::is_directory(val_env));
}

TEST(InitCommand, TakesTheFtpPasswordFromStandardInputAndSetsUpTls) {
    Sandbox box;
    const auto ini = (box.path() / "Ordano.ini").string();
    const auto folder = box.path() / "ofi";
    const auto ca = box.write_file("autoridad.pem", "-----BEGIN CERTIFICATE-----\n");
    std::istringstream input("Clave Secreta\r\n");
    std::streambuf* const keyboard = std::cin.rdbuf(input.rdbuf());
    const int status =
        run_cli({"--ini", ini, "init", "--db-folder", folder.string(), "--patente", "7", "--agente",
                 "A", "--ftp-password-stdin", "--tls", "--ca-file", ca.string()});
    std::cin.rdbuf(keyboard);
    ASSERT_EQ(status, 0);

    SQLite::Database db((folder / "Prevalida.mdb").string());
    EXPECT_EQ(unscramble(db.execAndGet("SELECT PassFTP FROM PARAMETROS").getString()),
              "Clave Secreta");
    EXPECT_EQ(db.execAndGet("SELECT tls FROM PARAMETROS").getInt(), -1);
    EXPECT_EQ(db.execAndGet("SELECT tls_ca FROM PARAMETROS").getString(), ca.string());
    // A certificate file only goes with TLS.
    EXPECT_EQ(run_cli({"--ini", ini, "init", "--db-folder", (box.path() / "otra").string(),
                       "--patente", "7", "--agente", "A", "--ca-file", ca.string()}),
              2);
}

// The database holds the office's passwords: only its owner may read it, or the settings file.
TEST(InitCommand, DatabaseAndSettingsFileAreTheOwnersOnly) {
    if (test::under_wine()) {
        GTEST_SKIP() << test::kWineAccessLists;
    }
    Sandbox box;
    const auto ini = box.path() / "Ordano.ini";
    const auto folder = box.path() / "ofi";
    ASSERT_EQ(run_cli({"--ini", ini.string(), "init", "--db-folder", folder.string(), "--patente",
                       "7", "--agente", "A"}),
              0);
    EXPECT_FALSE(open_to_others(folder / "Prevalida.mdb"));
    EXPECT_FALSE(open_to_others(ini));
}

TEST(InitCommand, RefusesToOverwriteAnExistingDatabase) {
    Sandbox box;
    const auto ini = (box.path() / "Ordano.ini").string();
    const auto folder = (box.path() / "ofi").string();
    const std::vector<std::string> args = {
        "--ini", ini, "init", "--db-folder", folder, "--patente", "7", "--agente", "A"};
    ASSERT_EQ(run_cli(args), 0);
    SQLite::Database(folder + "/Prevalida.mdb", SQLite::OPEN_READWRITE)
        .exec("UPDATE PARAMETROS SET Agente='KEEP'");
    EXPECT_EQ(run_cli(args), 7);  // the database is in the way: a local problem
    EXPECT_EQ(SQLite::Database(folder + "/Prevalida.mdb")
                  .execAndGet("SELECT Agente FROM PARAMETROS")
                  .getString(),
              "KEEP");
}

TEST(InitCommand, UsageErrorsExitWithTwo) {
    Sandbox box;
    const auto folder = (box.path() / "ofi").string();
    EXPECT_EQ(run_cli({"init", "--db-folder", folder, "--agente", "A"}), 2);  // no patente
    EXPECT_EQ(run_cli({"init", "--db-folder", folder, "--patente", "x", "--agente", "A"}), 2);
    EXPECT_EQ(run_cli({"nonsense"}), 2);
    EXPECT_EQ(run_cli({}), 2);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace ordano
