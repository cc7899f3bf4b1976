// SPDX-License-Identifier: Apache-2.0
// The four FTP routines: accounts, the proxy rule, transfers through the UI port.
#include "transfer/FtpRoutines.h"

#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Database.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "office/Session.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;
using test::FtpServer;
using test::FtpServerOptions;
using test::Sandbox;
using test::ScriptedUi;
using test::TestOffice;

constexpr FtpTimeouts kQuick{.connect_seconds = 2, .stall_seconds = 2};

// Patente 7 with its FTP password, served by `server`.
class FtpRoutinesTest : public ::testing::Test {
protected:
    FtpRoutinesTest()
        : server(FtpServerOptions{.office = {"ag0007", "clave7"}}),
          office(sandbox),
          db(open_database(office.db_file)),
          params(*db) {
        session.patente = 7;
        session.host = server.address();
        session.pass_ftp = "clave7";
    }

    void set_proxy(bool on, const std::string& ip_proxy) {
        params.set_number(Param::proxy, on ? -1 : 0);
        params.set_text(Param::ip_proxy, ip_proxy);
        params.save();
    }

    Sandbox sandbox;
    FtpServer server;
    TestOffice office;
    std::unique_ptr<SQLite::Database> db;
    ParametersRecord params;
    Sesion session;
    ScriptedUi ui;
    FtpSession ftp{"eftpEnvio", kQuick};
};

TEST_F(FtpRoutinesTest, TheOfficeAccountIsAgAndThePatenteInFourDigits) {
    set_proxy(false, "");
    log_in(ftp, false, session, params, ui);
    EXPECT_TRUE(ftp.connected());
    EXPECT_EQ(server.logins("ag0007"), 1);
    EXPECT_EQ(ui.yields, 1);
}

TEST_F(FtpRoutinesTest, TheUpdateAccountIsActualizador) {
    set_proxy(false, "");
    log_in(ftp, true, session, params, ui);
    EXPECT_EQ(server.logins("actualizador"), 1);
    EXPECT_EQ(server.logins("ag0007"), 0);
}

TEST_F(FtpRoutinesTest, TheProxyRuleIsReadAtEachConnection) {
    // The proxy knows the office as user "@" host, the host being the session's server.
    const std::string proxy_user = "ag0007@" + session.host;
    FtpServer proxy(FtpServerOptions{.extra_accounts = {{proxy_user, "clave7"}}});

    set_proxy(true, proxy.address());
    log_in(ftp, false, session, params, ui);
    EXPECT_EQ(proxy.logins(proxy_user), 1);
    EXPECT_EQ(server.logins("ag0007"), 0);

    set_proxy(false, proxy.address());
    log_in(ftp, false, session, params, ui);
    EXPECT_EQ(server.logins("ag0007"), 1);
    EXPECT_EQ(proxy.logins(proxy_user), 1);
}

TEST_F(FtpRoutinesTest, TheProxyRuleAppliesToTheUpdateAccountToo) {
    const std::string proxy_user = "actualizador@" + session.host;
    FtpServer proxy(FtpServerOptions{.extra_accounts = {{proxy_user, "tivuro"}}});
    set_proxy(true, proxy.address());
    log_in(ftp, true, session, params, ui);
    EXPECT_EQ(proxy.logins(proxy_user), 1);
}

TEST_F(FtpRoutinesTest, UploadAndDownloadUseFolderPlusNameAndYieldOnceEach) {
    set_proxy(false, "");
    const auto send_folder = sandbox.path() / "envio";
    const auto receive_folder = sandbox.path() / "recibe";
    fs::create_directories(receive_folder);
    sandbox.write_file(send_folder / "M0007001.123", "declaracion\r\n");
    server.make_folder("valin");
    log_in(ftp, false, session, params, ui);

    upload_file(ftp, ui, send_folder, "/valin", "M0007001.123");
    EXPECT_EQ(server.file_bytes("valin/M0007001.123"), "declaracion\r\n");
    download_file(ftp, ui, receive_folder, "/valin", "M0007001.123");
    EXPECT_EQ(Sandbox::read_file(receive_folder / "M0007001.123"), "declaracion\r\n");
    log_out(ftp, ui);
    EXPECT_FALSE(ftp.connected());

    EXPECT_EQ(ui.yields, 4);
    EXPECT_EQ(server.logins("ag0007"), 1);
}

TEST_F(FtpRoutinesTest, TransfersReportTheirProgressToTheUi) {
    set_proxy(false, "");
    server.put_file("update/ACTE0042.mdb.mz", std::string(600 * 1024, 'z'));
    server.set_faults({.size_in_reply = true});
    log_in(ftp, false, session, params, ui);
    download_file(ftp, ui, sandbox.path(), "/update", "ACTE0042.mdb.mz");
    ASSERT_FALSE(ui.progress_reports.empty());
    const auto& last = ui.progress_reports.back();
    EXPECT_EQ(last.what, "ACTE0042.mdb.mz");
    EXPECT_EQ(last.done, 600 * 1024);
    EXPECT_EQ(last.total, 600 * 1024);
}

TEST_F(FtpRoutinesTest, AFailureReachesTheCallerWithItsNumber) {
    set_proxy(false, "");
    log_in(ftp, false, session, params, ui);
    try {
        download_file(ftp, ui, sandbox.path(), "/kroout", "m0007001.err");
        FAIL() << "a missing answer must not download";
    } catch (const FtpError& error) {
        EXPECT_EQ(error.number(), ftp_error::kNotTransferred);
    }
    EXPECT_FALSE(fs::exists(sandbox.path() / "m0007001.err"));
}

TEST_F(FtpRoutinesTest, AWrongFtpPasswordIs1013) {
    set_proxy(false, "");
    session.pass_ftp = "equivocada";
    try {
        log_in(ftp, false, session, params, ui);
        FAIL() << "the login must be refused";
    } catch (const FtpError& error) {
        EXPECT_EQ(error.number(), ftp_error::kLoginRefused);
    }
}

TEST_F(FtpRoutinesTest, TheStoredPasswordGoesOutLowerCasedAsWindows1252Bytes) {
    // The server reads each byte of PASS as the character of that number: the password below
    // is E1 F1 9A 9C 9E FF E0 D7 FE 7A, "ÁÑŠŒŽŸÀ×Þz" lower-cased in Windows-1252.
    FtpServer exact(FtpServerOptions{
        .office = {"ag0015", "\u00E1\u00F1\u009A\u009C\u009E\u00FF\u00E0\u00D7\u00FEz"},
        .command_encoding = "latin-1"});
    OfficeSetup setup = TestOffice::default_setup();
    setup.ftp_password = "ÁÑŠŒŽŸÀ×Þz";
    setup.host = exact.address();
    Sandbox accented_sandbox;
    const TestOffice accented(accented_sandbox, setup);
    const SystemClock clock;
    const auto opened = Office::open(accented.path_options(), clock);

    log_in(ftp, false, opened->session(), opened->params(), ui);
    EXPECT_EQ(exact.logins("ag0015"), 1);
}

TEST_F(FtpRoutinesTest, DisconnectingANeverOpenedSessionIsHarmless) {
    log_out(ftp, ui);
    log_out(ftp, ui);
    EXPECT_FALSE(ftp.connected());
    EXPECT_EQ(ui.yields, 2);
}

}  // namespace
}  // namespace ordano
