// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <gtest/gtest.h>

#include "base/Encoding.h"
#include "base/Scramble.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/CatalogWorld.h"
#include "catalog/ServerUpdates.h"
#include "office/Parameters.h"
#include "transfer/FtpRoutines.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {
using test::CatalogWorld;
using test::scrambled_line;

struct Row {
    int campo;
    std::string valor;
    std::string fecha;
    bool operator==(const Row&) const = default;
};

class ServerUpdatesTest : public ::testing::Test {
protected:
    ServerUpdatesTest() {
        // The stored passwords, scrambled as PassFTP and Password keep them.
        params().set_text(Param::PassFTP, scramble("secreto"));
        params().set_text(Param::Password, scramble("segunda"));
        params().set_number(Param::VerPar, 4);
        params().save();
    }

    ParametersRecord& params() { return world.office->params(); }
    Sesion& session() { return world.office->session(); }

    std::vector<Row> rows() {
        SQLite::Statement q(world.office->db(),
                            "SELECT CAMPO, VALOR, FECHA FROM ACTUALIZACIONES ORDER BY CAMPO");
        std::vector<Row> out;
        while (q.executeStep()) {
            out.push_back(
                {q.getColumn(0).getInt(), q.getColumn(1).getString(), q.getColumn(2).getString()});
        }
        return out;
    }
    void add_row(int campo, const std::string& valor, const std::string& fecha) {
        SQLite::Statement insert(
            world.office->db(), "INSERT INTO ACTUALIZACIONES (CAMPO, VALOR, FECHA) VALUES (?,?,?)");
        insert.bind(1, campo);
        insert.bind(2, valor);
        insert.bind(3, fecha);
        insert.exec();
    }
    std::string stored(const char* column) {
        return world.office->db()
            .execAndGet(std::string("SELECT ") + column + " FROM PARAMETROS")
            .getString();
    }
    // The password file carries the two passwords already scrambled, then the scrambled day.
    void publish_password_file(const std::string& pass_ftp, const std::string& password,
                               const std::string& day) {
        world.publish(password_file_name(15), text::utf8_to_cp1252(scramble(pass_ftp)) + "|" +
                                                  text::utf8_to_cp1252(scramble(password)) + "|" +
                                                  scrambled_line({day}) + "\r\n");
    }
    UpdateOutcome run() { return update.recibir(); }

    CatalogWorld world;
    CatalogUpdate update{*world.office, world.ui};
};

TEST_F(ServerUpdatesTest, FileNamesCarryPatenteAndVersion) {
    EXPECT_EQ(password_file_name(15), "Cpas0015.rgs");
    EXPECT_EQ(parameter_file_name(5), "Actpm005.act");
    EXPECT_EQ(parameter_file_name(123), "Actpm123.act");
}

TEST_F(ServerUpdatesTest, NoPasswordFileWritesTheResultLine) {
    EXPECT_EQ(run(), UpdateOutcome::NoVersionList);
    EXPECT_EQ(update.result(), "No existió el archivo");
    EXPECT_TRUE(world.ui.messages.empty());
}

TEST_F(ServerUpdatesTest, DuePasswordsAreStoredAtOnceWithoutLowerCasing) {
    publish_password_file("NuevaClave", "Otra", "07/12/2026");
    EXPECT_EQ(run(), UpdateOutcome::NoVersionList);

    EXPECT_EQ(stored("PassFTP"), scramble("NuevaClave"));
    EXPECT_EQ(stored("Password"), scramble("Otra"));
    EXPECT_EQ(session().pass_ftp, "NuevaClave");
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_EQ(update.result(), "");
    // The local copy is gone.
    EXPECT_TRUE(world.drive_root_files().empty());
}

TEST_F(ServerUpdatesTest, DueFileWithTheSameFtpPasswordChangesOnlyTheSecond) {
    session().pass_ftp = "secreto";
    publish_password_file("secreto", "Cambiada", "01/12/2026");
    run();
    EXPECT_EQ(stored("PassFTP"), scramble("secreto"));
    EXPECT_EQ(stored("Password"), scramble("Cambiada"));
    EXPECT_EQ(session().pass_ftp, "secreto");
}

TEST_F(ServerUpdatesTest, LaterPasswordsAreScheduledForTheirDay) {
    publish_password_file("Futura", "segunda", "17/12/2026");
    run();
    EXPECT_EQ(stored("PassFTP"), scramble("secreto"));
    // Only the value that differs from the stored column gets a row.
    EXPECT_EQ(rows(), (std::vector<Row>{{12, scramble("Futura"), "2026-12-17"}}));

    publish_password_file("Futura", "Tercera", "17/12/2026");
    world.ui.messages.clear();
    run();
    // A row exists now: the rule for existing rows applies, and code 13 is not added.
    EXPECT_EQ(rows(), (std::vector<Row>{{12, scramble("Futura"), "2026-12-17"}}));
}

TEST_F(ServerUpdatesTest, ExistingRowsMoveOnlyToTheSameOrALaterDay) {
    add_row(12, scramble("Vieja"), "2026-12-20");
    add_row(13, scramble("Vieja2"), "2026-12-10");
    publish_password_file("Nueva", "Nueva2", "15/12/2026");
    run();
    EXPECT_EQ(rows(), (std::vector<Row>{{12, scramble("Vieja"), "2026-12-20"},
                                        {13, scramble("Nueva2"), "2026-12-15"}}));
}

TEST_F(ServerUpdatesTest, BadDateInThePasswordFileEndsTheRun) {
    world.publish(password_file_name(15), scrambled_line({"x", "y", "31/02/2026"}));
    EXPECT_EQ(run(), UpdateOutcome::Failed);
    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_EQ(world.ui.messages[0].text.rfind("Error Número: 13\r\nDescripción: ", 0), 0u);
    EXPECT_FALSE(world.ui.messages[0].caption.has_value());
    EXPECT_EQ(stored("PassFTP"), scramble("secreto"));
    EXPECT_TRUE(world.drive_root_files().empty());
    EXPECT_FALSE(update.session().connected());
}

// VerPar 4, revactp.txt offering 5, one due line for code 2 and one for code 6 next month.
TEST_F(ServerUpdatesTest, ParameterFileAppliesDueChangesAndSchedulesLaterOnes) {
    world.publish("revactp.txt", "5\r\n");
    world.publish("Actpm005.act", scrambled_line({"2", "/valin/nuevo", "07/12/2026"}) + "\r\n" +
                                      scrambled_line({"6", "/pagout/nuevo", "07/01/2027"}) +
                                      "\r\n");
    EXPECT_EQ(run(), UpdateOutcome::NoVersionList);

    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_EQ(stored("kro_valin"), "/valin/nuevo");
    EXPECT_EQ(session().dir_val_in, "/valin/nuevo");
    EXPECT_EQ(rows(), (std::vector<Row>{{6, "/pagout/nuevo", "2027-01-07"}}));
    EXPECT_EQ(params().number(Param::VerPar), 5);
    EXPECT_EQ(stored("VerPar"), "5");
    EXPECT_TRUE(world.drive_root_files().empty());

    // The same version is not read again.
    world.publish("Actpm005.act", scrambled_line({"2", "/otra", "07/12/2026"}));
    run();
    EXPECT_EQ(stored("kro_valin"), "/valin/nuevo");
}

TEST_F(ServerUpdatesTest, BadDateSavesNothingOfTheParameterFile) {
    world.publish("revactp.txt", "5");
    world.publish("Actpm005.act", scrambled_line({"2", "/valin/nuevo", "07/12/2026"}) + "\r\n" +
                                      scrambled_line({"6", "/pagout/nuevo", "07/01/2027"}) +
                                      "\r\n" + scrambled_line({"3", "/x", "32/12/2026"}) + "\r\n");
    EXPECT_EQ(run(), UpdateOutcome::Failed);

    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_EQ(world.ui.messages[0].text.rfind("Error Número: 13\r\n", 0), 0u);
    EXPECT_TRUE(
        world.ui.messages[0].text.ends_with("Proceso: Actualización del catálogo de errores"));
    EXPECT_EQ(stored("kro_valin"), "/valin");
    EXPECT_EQ(params().text(Param::kro_valin), "/valin");
    EXPECT_EQ(session().dir_val_in, "/valin");
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(params().number(Param::VerPar), 4);
    EXPECT_TRUE(world.drive_root_files().empty());
}

TEST_F(ServerUpdatesTest, CodeThatIsNoNumberEndsTheRun) {
    world.publish("revactp.txt", "5");
    world.publish("Actpm005.act", scrambled_line({"dos", "/valin/nuevo", "07/12/2026"}));
    EXPECT_EQ(run(), UpdateOutcome::Failed);
    EXPECT_EQ(params().number(Param::VerPar), 4);
}

TEST_F(ServerUpdatesTest, PasswordCodesInAParameterFile) {
    world.publish("revactp.txt", "5");
    world.publish("Actpm005.act", scrambled_line({"12", "hoy", "07/12/2026"}) + "\r\n" +
                                      scrambled_line({"12", "despues", "08/12/2026"}) + "\r\n" +
                                      scrambled_line({"13", "otra", "09/12/2026"}) + "\r\n");
    run();
    // Due: nothing changes; later: scheduled in the scrambled form the columns keep.
    EXPECT_EQ(stored("PassFTP"), scramble("secreto"));
    EXPECT_EQ(rows(), (std::vector<Row>{{12, scramble("despues"), "2026-12-08"},
                                        {13, scramble("otra"), "2026-12-09"}}));
}

// Parameter file -> scheduled row -> start-up on its day -> the server takes the new password.
TEST(ServerUpdates, PasswordFromAParameterFileLogsInOnItsDay) {
    CatalogWorld world({.office = {"ag0015", "manana"}});
    CatalogUpdate update{*world.office, world.ui};
    world.publish("revactp.txt", "1");
    world.publish("Actpm001.act", scrambled_line({"12", "manana", "08/12/2026"}) + "\r\n");
    update.recibir();
    ASSERT_TRUE(world.ui.messages.empty()) << world.ui.texts().front();

    world.clock.set({{std::chrono::year{2026}, std::chrono::December, std::chrono::day{8}}, 9});
    world.reopen();
    FtpSession ftp("eftpEnvio");
    log_in(ftp, false, world.office->session(), world.office->params(), world.ui);
    EXPECT_EQ(world.server.logins("ag0015"), 1);
}

TEST_F(ServerUpdatesTest, PasswordThatCannotBeUnscrambledIsRefusedAndNotScheduled) {
    // Byte 0x05 at the first position would unscramble below code 1.
    world.publish(password_file_name(15), "\x05|" + text::utf8_to_cp1252(scramble("segunda")) +
                                              "|" + scrambled_line({"17/12/2026"}) + "\r\n");
    EXPECT_EQ(run(), UpdateOutcome::Failed);
    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_NE(world.ui.messages[0].text.find("PassFTP que no se puede leer"), std::string::npos)
        << world.ui.messages[0].text;
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(stored("PassFTP"), scramble("secreto"));
}

TEST_F(ServerUpdatesTest, DueUpdateFolderIsUsedForTheRestOfTheRun) {
    world.publish("revactp.txt", "5");
    world.publish("Actpm005.act", scrambled_line({"11", "/update2", "07/12/2026"}));
    world.server.put_file("update2/revact.txt", "0000");
    EXPECT_EQ(run(), UpdateOutcome::NoNewerCatalogue);
    EXPECT_EQ(session().dir_update, "/update2");
    EXPECT_EQ(stored("kro_update"), "/update2");
}

}  // namespace
}  // namespace ordano
