// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Scramble.h"
#include "fixtures/Sandbox.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "office/ScheduledChanges.h"

namespace ordano {
namespace {
using namespace std::chrono;
using test::Sandbox;
using test::TestOffice;

constexpr year_month_day kToday = 2026y / December / 7;

class ScheduledChangesTest : public ::testing::Test {
protected:
    void schedule(int code, const std::string& value, year_month_day day) {
        SQLite::Statement insert(db,
                                 "INSERT INTO ACTUALIZACIONES (CAMPO, VALOR, FECHA) "
                                 "VALUES (?, ?, ?)");
        insert.bind(1, code);
        insert.bind(2, value);
        insert.bind(3, iso_date(day));
        insert.exec();
    }
    int rows_left() { return db.execAndGet("SELECT count(*) FROM ACTUALIZACIONES").getInt(); }

    Sandbox box;
    TestOffice office{box};
    SQLite::Database db{office.db_file.string(), SQLite::OPEN_READWRITE};
};

TEST_F(ScheduledChangesTest, TodaysRowsAreAppliedInOrderAndDeleted) {
    schedule(2, "/nuevo/valin", kToday);
    schedule(12, scramble("clave2"), kToday);
    schedule(20, "nada", kToday);  // unknown code: deleted, changes nothing
    schedule(1, "PRIMERA", kToday);
    schedule(1, "SEGUNDA", kToday);              // the later row of one code wins
    schedule(3, "/ayer", 2026y / December / 6);  // yesterday's row is neither applied nor deleted
    schedule(4, "/manana", 2026y / December / 8);

    ParametersRecord record(db);
    EXPECT_EQ(apply_due_changes(db, record, kToday).rows, 5);

    ParametersRecord stored(db);
    EXPECT_EQ(stored.text(Param::kro_valin), "/nuevo/valin");
    EXPECT_EQ(stored.text(Param::PassFTP), scramble("clave2"));  // stored as it came
    EXPECT_EQ(stored.text(Param::rasoc), "SEGUNDA");
    EXPECT_EQ(stored.text(Param::kro_valout), "");
    EXPECT_EQ(stored.text(Param::kro_valresp), "");
    EXPECT_EQ(rows_left(), 2);
}

TEST_F(ScheduledChangesTest, NoRowsForTodayChangesNothing) {
    schedule(2, "/otro", 2026y / December / 6);
    ParametersRecord record(db);
    EXPECT_EQ(apply_due_changes(db, record, kToday).rows, 0);
    EXPECT_EQ(ParametersRecord(db).text(Param::kro_valin), "/valin");
    EXPECT_EQ(rows_left(), 1);
}

TEST_F(ScheduledChangesTest, AFailureLeavesRowsAndRecordAsTheyWere) {
    schedule(2, "/nuevo/valin", kToday);
    schedule(11, "/nuevo/update", kToday);
    db.exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON PARAMETROS BEGIN "
        "SELECT RAISE(ABORT, 'disk full'); END");
    ParametersRecord record(db);
    EXPECT_THROW((void)apply_due_changes(db, record, kToday), SQLite::Exception);
    EXPECT_EQ(rows_left(), 2);
    EXPECT_EQ(record.text(Param::kro_valin), "/valin");  // nothing half-applied in memory
    EXPECT_EQ(ParametersRecord(db).text(Param::kro_update), "/update");
}

TEST_F(ScheduledChangesTest, StartUpSeesTodaysChanges) {
    schedule(2, "/hoy/valin", kToday);
    schedule(12, scramble("NuevaClave"), kToday);
    const FixedClock clock({kToday, 8, 0, 0});
    auto opened = Office::open(office.path_options(), clock);
    EXPECT_EQ(opened->session().dir_val_in, "/hoy/valin");
    EXPECT_EQ(opened->session().pass_ftp, "nuevaclave");
    EXPECT_EQ(rows_left(), 0);
}

// A password row that cannot be unscrambled stays back; start-up goes on with the last good one.
TEST_F(ScheduledChangesTest, UnreadablePasswordRowIsKeptAndNamed) {
    schedule(2, "/hoy/valin", kToday);
    schedule(12, "\x05", kToday);
    const FixedClock clock({kToday, 8, 0, 0});
    auto opened = Office::open(office.path_options(), clock);
    EXPECT_EQ(opened->session().pass_ftp, "secreto");
    EXPECT_EQ(opened->session().dir_val_in, "/hoy/valin");
    EXPECT_EQ(db.execAndGet("SELECT CAMPO FROM ACTUALIZACIONES").getInt(), 12);
    EXPECT_EQ(rows_left(), 1);
    ASSERT_EQ(opened->startup_notices().size(), 1u);
    EXPECT_EQ(opened->startup_notices()[0],
              "El cambio programado para el 2026-12-07 en ACTUALIZACIONES (CAMPO 12, PassFTP) no "
              "se aplicó: su contraseña no se puede leer. Se sigue usando la anterior.");
}

}  // namespace
}  // namespace ordano
