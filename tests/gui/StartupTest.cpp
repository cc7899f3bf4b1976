// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>

#include "GuiOffice.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "base/Scramble.h"
#include "dialogs/ParametersDialog.h"
#include "engine/FrontEnd.h"
#include "office/OfficeLock.h"
#include "office/Parameters.h"
#include "platform/ProcessId.h"

namespace ordano {
namespace {
using namespace std::chrono;
using test::GuiOffice;
using test::Sandbox;
using test::ScriptedUi;
using test::TestOffice;

const FixedClock kDay({2026y / February / 2, 10, 0, 0});

PathOptions with_ini(const Sandbox& box, const std::filesystem::path& ini) {
    PathOptions paths;
    paths.ini = ini;
    paths.root = box.path() / "root";
    return paths;
}

// Runs the program on `paths` and returns the one message it showed.
std::string failed_start_message(const PathOptions& paths) {
    ScriptedUi ui;
    ImmediateFrontEnd front(ui);
    GuiOptions options;
    options.paths = paths;
    EXPECT_EQ(run_ordano(options, front, kDay), 1);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    if (ui.messages.size() != 1) {
        ADD_FAILURE() << "expected one message, got " << ui.messages.size();
        return {};
    }
    const auto& shown = ui.messages.front();
    EXPECT_EQ(shown.icon, MessageIcon::Critical);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.caption, std::string(kProductName));
    EXPECT_EQ(shown.text.rfind("El programa no puede iniciar.", 0), 0u) << shown.text;
    return shown.text;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(StartupFailure, EachUnusableSetupShowsOneClearMessageAndExitsWithStatus1) {
    Sandbox box;
    const std::string missing = failed_start_message(with_ini(box, box.path() / "falta.ini"));
    EXPECT_TRUE(has(missing, "No se encontró el archivo de configuración")) << missing;
    EXPECT_TRUE(has(missing, "falta.ini")) << missing;

    EXPECT_TRUE(
        has(failed_start_message(with_ini(box, box.write_file("vacio.ini", ""))), "está vacío"));
    EXPECT_TRUE(has(failed_start_message(with_ini(box, box.write_file("corto.ini", "RutaBD\r\n"))),
                    "demasiado corta"));
    const std::string no_db = failed_start_message(
        with_ini(box, box.write_file("sinbase.ini", "RutaBD: " + (box.path() / "nada").string())));
    EXPECT_TRUE(has(no_db, "No se encontró la base de datos")) << no_db;

    box.write_file("basura/Prevalida.mdb", "esto no es una base de datos");
    const std::string junk = failed_start_message(
        with_ini(box, box.write_file("basura.ini", "RutaBD: " + (box.path() / "basura").string())));
    EXPECT_TRUE(has(junk, "no es una base de datos válida")) << junk;
}

TEST(StartupFailure, ADatabaseWithoutItsParametersRowOrTableIsReported) {
    Sandbox box;
    const TestOffice office(box);
    SQLite::Database(office.db_file.string(), SQLite::OPEN_READWRITE)
        .exec("DELETE FROM PARAMETROS");
    EXPECT_TRUE(
        has(failed_start_message(office.path_options()), "no tiene su registro de parámetros"));

    SQLite::Database(office.db_file.string(), SQLite::OPEN_READWRITE).exec("DROP TABLE PARAMETROS");
    EXPECT_TRUE(has(failed_start_message(office.path_options()), "PARAMETROS"));
}

TEST(StartupFailure, AnOfficeThatAnotherProgramHasIsNotOpenedTwice) {
    Sandbox box;
    const TestOffice office(box);
    const OfficeLock other = OfficeLock::take(office.db_file.parent_path(), "ordano-cli send");
    const std::string busy = failed_start_message(office.path_options());
    EXPECT_TRUE(has(busy, "está en uso por otro programa de Ordano (PID " +
                              std::to_string(current_process_id()) + ", ordano-cli send)"))
        << busy;
}

TEST(Startup, AnOfficeFromBeforeTlsAndParallelTransfersGetsTheirDefaults) {
    GuiOffice gui;
    gui.prepare(
        "ALTER TABLE PARAMETROS DROP COLUMN tls; ALTER TABLE PARAMETROS DROP COLUMN tls_ca; "
        "ALTER TABLE PARAMETROS DROP COLUMN sesiones_ftp");
    gui.open();
    EXPECT_FALSE(gui.office->params().flag(Param::tls));
    EXPECT_EQ(gui.office->params().text(Param::tls_ca), "");
    EXPECT_EQ(gui.office->params().number(Param::sesiones_ftp), 4);
}

TEST(Startup, ChangesScheduledForTodayAreInPlaceBeforeTheWindowShows) {
    GuiOffice gui(TestOffice::default_setup(), {2026y / February / 2, 8, 0, 0});
    gui.prepare(
        "INSERT INTO ACTUALIZACIONES (CAMPO, VALOR, FECHA) VALUES "
        "(2, '/nuevo/valin', '2026-02-02'), "
        "(12, '" +
        scramble("NUEVA") +
        "', '2026-02-02'), "
        "(11, '/ayer', '2026-02-01')");
    gui.open();
    const Sesion& session = gui.office->session();
    EXPECT_EQ(session.dir_val_in, "/nuevo/valin");
    EXPECT_EQ(session.pass_ftp, "nueva");
    EXPECT_NE(session.dir_update, "/ayer");
    SQLite::Database db(gui.files.db_file.string());
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM ACTUALIZACIONES").getInt(), 1);
    EXPECT_EQ(db.execAndGet("SELECT FECHA FROM ACTUALIZACIONES").getString(), "2026-02-01");
    EXPECT_TRUE(gui.ui.messages.empty());
}

TEST(Startup, ScheduledPasswordThatCannotBeReadIsToldOnce) {
    Sandbox box;
    const TestOffice office(box);
    SQLite::Database(office.db_file.string(), SQLite::OPEN_READWRITE)
        .exec(
            "INSERT INTO ACTUALIZACIONES (CAMPO, VALOR, FECHA) VALUES (12, char(5), "
            "'2026-02-02')");
    ScriptedUi ui;
    ImmediateFrontEnd front(ui);
    GuiOptions options;
    options.paths = office.path_options();
    options.screenshot = box.path() / "ventana.png";
    EXPECT_EQ(run_ordano(options, front, kDay), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(has(ui.messages[0].text, "(CAMPO 12, PassFTP) no se aplicó"));
}

struct LinkCase {
    const char* record;
    const char* host;
};

TEST(Startup, HostFollowsTheLinkType) {
    const LinkCase cases[] = {
        {"tipo_acceso=0, acc_tel=-1, proxy=0", "ras.example"},
        {"tipo_acceso=1, acc_tel=0, proxy=-1", "net.example"},  // the proxy applies on connecting
        {"tipo_acceso=2, acc_tel=0, proxy=0", "radio.example"},
        {"tipo_acceso=5, acc_tel=0, proxy=0", "proxy.example"},
    };
    for (const LinkCase& c : cases) {
        GuiOffice gui;
        gui.prepare(std::string("UPDATE PARAMETROS SET Host_Ras='ras.example', "
                                "Host_Internet='net.example', Host='radio.example', "
                                "ip_proxy='proxy.example', ") +
                    c.record);
        gui.open();
        EXPECT_EQ(gui.office->session().host, c.host) << c.record;
    }
}

TEST(Startup, ScreenshotSavesTheMainWindowAt1280By800) {
    Sandbox box;
    const TestOffice office(box);
    ScriptedUi ui;
    ImmediateFrontEnd front(ui);
    GuiOptions options;
    options.paths = office.path_options();
    options.screenshot = box.path() / "ventana.png";
    EXPECT_EQ(run_ordano(options, front, kDay), 0);
    EXPECT_TRUE(ui.messages.empty());
    const QImage picture(QString::fromStdString(options.screenshot->string()));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(1280, 800));
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST(CommandLine, ReadsIniRootScreenshotAndDark) {
    const auto parsed = parse_command_line(
        {"ordano", "--ini", "/o/Ordano.ini", "--dark", "--root", "/raiz", "--screenshot", "v.png"},
        "/bin");
    const auto* options = std::get_if<GuiOptions>(&parsed);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->paths.ini, std::filesystem::path("/o/Ordano.ini"));
    EXPECT_EQ(options->paths.root, std::filesystem::path("/raiz"));
    EXPECT_EQ(options->screenshot, std::filesystem::path("v.png"));
    EXPECT_EQ(options->paths.executable_dir, std::filesystem::path("/bin"));
    EXPECT_TRUE(options->dark);

    const auto bare = parse_command_line({"ordano"}, "/bin");
    ASSERT_TRUE(std::holds_alternative<GuiOptions>(bare));
    EXPECT_FALSE(std::get<GuiOptions>(bare).paths.ini.has_value());
    EXPECT_FALSE(std::get<GuiOptions>(bare).screenshot.has_value());
    EXPECT_FALSE(std::get<GuiOptions>(bare).dark);
}

TEST(CommandLine, TakesEqualsHelpVersionAndTheEndOfOptions) {
    const auto equals = parse_command_line({"ordano", "--ini=/o/Ordano.ini", "--"}, "/bin");
    ASSERT_TRUE(std::holds_alternative<GuiOptions>(equals));
    EXPECT_EQ(std::get<GuiOptions>(equals).paths.ini, std::filesystem::path("/o/Ordano.ini"));
    const auto help = parse_command_line({"ordano", "-h"}, "/bin");
    EXPECT_EQ(std::get<GuiOptions>(help).request, GuiOptions::Request::Help);
    const auto version = parse_command_line({"ordano", "--version"}, "/bin");
    EXPECT_EQ(std::get<GuiOptions>(version).request, GuiOptions::Request::Version);
}

TEST(CommandLine, UnknownOptionsAndMissingValuesAreUsageProblems) {
    for (const QStringList& args :
         {QStringList{"ordano", "--inii", "x"}, QStringList{"ordano", "--ini"},
          QStringList{"ordano", "--root", ""}, QStringList{"ordano", "suelto"},
          QStringList{"ordano", "--version=2"}, QStringList{"ordano", "--", "--ini"}}) {
        EXPECT_TRUE(std::holds_alternative<UsageProblem>(parse_command_line(args, "/bin")))
            << args.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace ordano
