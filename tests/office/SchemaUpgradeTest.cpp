// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <vector>

#include "fixtures/Sandbox.h"
#include "office/Office.h"
#include "office/SchemaUpgrade.h"

namespace ordano {
namespace {
using test::Sandbox;

const std::vector<AddedTable> kTables = {
    {"BITACORA",
     "CREATE TABLE BITACORA (ID INTEGER PRIMARY KEY, NOMBRE TEXT NOT NULL);"
     "CREATE INDEX BITACORA_NOMBRE ON BITACORA (NOMBRE);"},
};
const std::vector<AddedColumn> kColumns = {
    {"PARAMETROS", "minutos", "INTEGER NOT NULL DEFAULT 30"},
    {"BITACORA", "ESTADO", "TEXT"},  // part of a table created whole: nothing to add
};

TEST(SchemaUpgrade, AddsWhatIsMissingAndKeepsTheOfficesData) {
    Sandbox box;
    SQLite::Database db((box.path() / "old.mdb").string(),
                        SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(
        "CREATE TABLE PARAMETROS (Patente INTEGER, extra TEXT); "
        "INSERT INTO PARAMETROS VALUES (15, 'de otra versión')");

    upgrade_schema(db, kTables, kColumns);
    upgrade_schema(db, kTables, kColumns);  // the second time finds nothing to do

    EXPECT_EQ(db.execAndGet("SELECT Patente || extra || minutos FROM PARAMETROS").getString(),
              "15de otra versión30");
    EXPECT_TRUE(db.tableExists("BITACORA"));
    EXPECT_EQ(
        db.execAndGet("SELECT count(*) FROM sqlite_master WHERE name = 'BITACORA_NOMBRE'").getInt(),
        1);
}

TEST(SchemaUpgrade, AFailureLeavesTheDatabaseAsItWas) {
    Sandbox box;
    SQLite::Database db((box.path() / "old.mdb").string(),
                        SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec("CREATE TABLE PARAMETROS (Patente INTEGER)");
    const std::vector<AddedTable> broken = {{"BITACORA", "CREATE TABLE BITACORA (ID INTEGER)"},
                                            {"OTRA", "CREATE TABLE OTRA ("}};
    EXPECT_THROW(upgrade_schema(db, broken, kColumns), SQLite::Exception);
    EXPECT_FALSE(db.tableExists("BITACORA"));
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM pragma_table_info('PARAMETROS')").getInt(), 1);
}

TEST(SchemaUpgrade, ANewOfficeHasEverythingAndStartsWithoutWriting) {
    Sandbox box;
    const test::TestOffice office(box);
    SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
    const int changes_before = db.execAndGet("PRAGMA data_version").getInt();
    upgrade_office_schema(db);
    EXPECT_EQ(db.getTotalChanges(), 0);
    EXPECT_EQ(db.execAndGet("PRAGMA data_version").getInt(), changes_before);
}

}  // namespace
}  // namespace ordano
