// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/DateTime.h"
#include "base/Errors.h"
#include "base/Scramble.h"
#include "fixtures/ChildProcess.h"
#include "fixtures/Environment.h"
#include "fixtures/HelperProcess.h"
#include "fixtures/Sandbox.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "office/Settings.h"
#include "platform/ProcessId.h"

namespace ordano {
namespace {
using namespace std::chrono;
using test::Sandbox;
using test::TestOffice;

std::string startup_failure(const PathOptions& options) {
    const FixedClock clock({2026y / December / 7, 10, 0, 0});
    try {
        (void)Office::open(options, clock);
    } catch (const StartupError& e) {
        return e.what();
    }
    return "no failure";
}

PathOptions with_ini(const Sandbox& box, const std::filesystem::path& ini) {
    PathOptions options;
    options.ini = ini;
    options.root = box.path() / "root";
    return options;
}

TEST(SettingsFile, FolderIsTheFirstLineFromCharacterNineUntrimmed) {
    Sandbox box;
    EXPECT_EQ(read_database_folder(box.write_file("a.ini", "RutaBD: /datos/ofi \r\nx\n")),
              "/datos/ofi ");
    EXPECT_EQ(read_database_folder(box.write_file("b.ini", "12345678")), "");
    // An empty folder names the database in the root of the current drive.
    EXPECT_EQ(database_file("").filename(), "Prevalida.mdb");
    EXPECT_EQ(database_file("").parent_path(), database_file("").root_path());
}

TEST(SettingsFile, EachUnusableSetupStopsStartUpWithItsOwnMessage) {
    Sandbox box;
    const auto missing = startup_failure(with_ini(box, box.path() / "none.ini"));
    EXPECT_NE(missing.find("No se encontró el archivo de configuración"), std::string::npos);
    EXPECT_NE(missing.find("none.ini"), std::string::npos);

    EXPECT_NE(startup_failure(with_ini(box, box.write_file("empty.ini", ""))).find("está vacío"),
              std::string::npos);
    EXPECT_NE(startup_failure(with_ini(box, box.write_file("short.ini", "Ruta\r\n")))
                  .find("demasiado corta"),
              std::string::npos);

    const auto no_db = startup_failure(
        with_ini(box, box.write_file("nodb.ini", "RutaBD: " + (box.path() / "x").string())));
    EXPECT_NE(no_db.find("No se encontró la base de datos"), std::string::npos);

    box.write_file("junk/Prevalida.mdb", "this is not a database, just text");
    const auto junk = startup_failure(
        with_ini(box, box.write_file("junk.ini", "RutaBD: " + (box.path() / "junk").string())));
    EXPECT_NE(junk.find("no es una base de datos"), std::string::npos);
}

TEST(SettingsFile, ParametersTableWithoutItsRowStopsStartUp) {
    Sandbox box;
    TestOffice office(box);
    SQLite::Database(office.db_file.string(), SQLite::OPEN_READWRITE)
        .exec("DELETE FROM PARAMETROS");
    EXPECT_NE(startup_failure(office.path_options()).find("no tiene su registro"),
              std::string::npos);
}

TEST(SettingsFile, PathsFollowOptionsThenEnvironmentThenDefaults) {
    PathOptions options;
    options.executable_dir = "/opt/ordano/bin";
    options.machine_settings = std::nullopt;
    test::set_environment("ORDANO_INI", std::nullopt);
    test::set_environment("ORDANO_ROOT", "/srv/raiz");
    auto paths = resolve_paths(options);
    EXPECT_EQ(paths.ini_file, std::filesystem::path("/opt/ordano/bin/Ordano.ini"));
    EXPECT_EQ(paths.drive_root, std::filesystem::path("/srv/raiz"));
    EXPECT_EQ(paths.work_folder, std::filesystem::path("/srv/raiz/OrdanoTmp/proceso-" +
                                                       std::to_string(current_process_id())));

    test::set_environment("ORDANO_INI", "/etc/o.ini");
    options.root = "/mnt/c";
    paths = resolve_paths(options);
    EXPECT_EQ(paths.ini_file, std::filesystem::path("/etc/o.ini"));
    EXPECT_EQ(paths.drive_root, std::filesystem::path("/mnt/c"));
    test::set_environment("ORDANO_INI", std::nullopt);
    test::set_environment("ORDANO_ROOT", std::nullopt);
}

// The program's folder first (an office set up beside the program keeps working), then the
// machine's settings folder, which is also where a new office's file is written.
TEST(SettingsFile, BesideTheProgramWinsOverTheMachineFolder) {
    Sandbox box;
    const auto program = box.path() / "Program Files" / "Ordano";
    const auto machine = box.path() / "ProgramData" / "Ordano";
    std::filesystem::create_directories(program);
    PathOptions options;
    options.executable_dir = program;
    options.machine_settings = machine;
    test::set_environment("ORDANO_INI", std::nullopt);

    EXPECT_EQ(resolve_paths(options).ini_file, machine / "Ordano.ini");  // neither: the new one's
    box.write_file(machine / "Ordano.ini", "RutaBD: C:\\datos");
    EXPECT_EQ(resolve_paths(options).ini_file, machine / "Ordano.ini");
    box.write_file(program / "Ordano.ini", "RutaBD: D:\\otra");
    EXPECT_EQ(resolve_paths(options).ini_file, program / "Ordano.ini");
    options.machine_settings = std::nullopt;
    std::filesystem::remove(program / "Ordano.ini");
    EXPECT_EQ(resolve_paths(options).ini_file, program / "Ordano.ini");  // no machine folder
}

TEST(StartUp, LoadsTheRunTimeValuesAndKeepsAnExistingWorkFolder) {
    Sandbox box;
    TestOffice office(box);
    box.write_file(office.drive_root / "OrdanoTmp" / "keep.txt", "x");
    const FixedClock clock({2026y / February / 2, 9, 0, 0});
    auto opened = Office::open(office.path_options(), clock);
    const Sesion& s = opened->session();
    EXPECT_EQ(s.patente, 15);
    EXPECT_EQ(s.pass_ftp, "secreto");
    EXPECT_EQ(s.pass_ban, "");
    EXPECT_EQ(s.bandera_pago, 'N');
    EXPECT_EQ(s.dia_juliano, 33);
    EXPECT_EQ(s.dir_update, "/update");
    EXPECT_EQ(s.folders.val_env, (box.path() / "office" / "envio" / "saai").string());
    EXPECT_TRUE(std::filesystem::exists(office.drive_root / "OrdanoTmp" / "keep.txt"));
}

TEST(StartUp, HostFollowsTheLinkTypeAndPasswordIsLowerCased) {
    Sandbox box;
    TestOffice office(box);
    {
        SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
        db.exec(
            "UPDATE PARAMETROS SET Host_Ras='ras', Host_Internet='net', Host='radio', "
            "ip_proxy='proxy', proxy=-1, PassFTP='" +
            scramble("SRT") + "'");
    }
    const FixedClock clock({2026y / December / 7, 9, 0, 0});
    const std::pair<int, const char*> cases[] = {
        {0, "ras"}, {1, "net"}, {2, "radio"}, {7, "proxy"}};
    for (const auto& [tipo, expected] : cases) {
        SQLite::Database(office.db_file.string(), SQLite::OPEN_READWRITE)
            .exec("UPDATE PARAMETROS SET acc_tel=0, tipo_acceso=" + std::to_string(tipo));
        auto opened = Office::open(office.path_options(), clock);
        EXPECT_EQ(opened->session().host, expected) << "tipo_acceso " << tipo;
        EXPECT_EQ(opened->session().pass_ftp, "srt");
    }
}

// What ended processes left (their working folders, their ".part-" files) goes at start-up;
// a live process's files (this one's own too) and every other name stay.
TEST(StartUp, RemovesOnlyTheWorkingFilesOfProcessesThatEnded) {
    Sandbox box;
    TestOffice office(box);
    const long ended = test::ended_process_id();
    const std::string gone = std::to_string(ended);
    test::HelperProcess live({"stay"});
    const std::string running = std::to_string(live.id());
    const auto work = office.drive_root / "OrdanoTmp";
    const auto stale =
        box.write_file(office.drive_root / ("revact.txt.part-" + gone + "-7f3a"), "x");
    box.write_file(work / ("proceso-" + gone) / "M0015001.err", "x");
    const std::vector<std::filesystem::path> kept = {
        box.write_file(work / ("proceso-" + running) / "M0015001.err", "x"),
        box.write_file(work / ("proceso-" + std::to_string(current_process_id())) / "M0015001.033",
                       "x"),
        box.write_file(office.drive_root / ("revact.txt.part-" + running + "-7f3a"), "x"),
        box.write_file(work / "M0015001.err.part-9ab3c", "x")};  // an older version's name
    const FixedClock clock({2026y / February / 2, 9, 0, 0});
    (void)Office::open(office.path_options(), clock);
    EXPECT_FALSE(std::filesystem::exists(work / ("proceso-" + gone)));
    EXPECT_FALSE(std::filesystem::exists(stale));
    for (const auto& file : kept) {
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
    }
}

// Another program holding the database is said so, after the engine's wait, never "damaged".
TEST(StartUp, ADatabaseHeldByAnotherProgramIsNotCalledDamaged) {
    Sandbox box;
    TestOffice office(box);
    SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    const FixedClock clock({2026y / February / 2, 9, 0, 0});
    try {
        (void)Office::open(office.path_options(), clock);
        ADD_FAILURE() << "started on a database another program holds";
    } catch (const StartupError& e) {
        EXPECT_STREQ(e.what(), ("La base de datos (" + office.db_file.string() +
                                ") está en uso por otro programa y no la dejó libre en 5 "
                                "segundos. Cierra el otro programa y vuelve a intentarlo.")
                                   .c_str());
    }
}

}  // namespace
}  // namespace ordano
