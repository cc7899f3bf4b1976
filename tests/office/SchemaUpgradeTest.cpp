// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/Sandbox.h"
#include "office/Office.h"
#include "office/Parameters.h"
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

// PARAMETROS as the first version created it.
constexpr const char* kFirstParameters = R"sql(
CREATE TABLE PARAMETROS (
    Patente INTEGER NOT NULL DEFAULT 0,
    Agente TEXT DEFAULT '',
    rasoc TEXT DEFAULT '',
    tipo_acceso INTEGER NOT NULL DEFAULT 1,
    acc_tel INTEGER NOT NULL DEFAULT 0,
    Host_Ras TEXT DEFAULT '',
    Host_Internet TEXT DEFAULT '',
    Host TEXT DEFAULT '',
    proxy INTEGER NOT NULL DEFAULT 0,
    ip_proxy TEXT DEFAULT '',
    telefono TEXT DEFAULT '',
    val_env TEXT DEFAULT '', val_rec TEXT DEFAULT '',
    tra_env TEXT DEFAULT '', tra_rec TEXT DEFAULT '',
    pag_env TEXT DEFAULT '', pag_rec TEXT DEFAULT '',
    sag_env TEXT DEFAULT '', sag_rec TEXT DEFAULT '',
    api_rec TEXT DEFAULT '', prof_rec TEXT DEFAULT '',
    vererr INTEGER NOT NULL DEFAULT 0,
    VerPar INTEGER NOT NULL DEFAULT 0,
    PassFTP TEXT DEFAULT '',
    Password TEXT DEFAULT '',
    PassBan TEXT DEFAULT '',
    kro_valin TEXT DEFAULT '', kro_valout TEXT DEFAULT '', kro_valresp TEXT DEFAULT '',
    kro_pagin TEXT DEFAULT '', kro_pagout TEXT DEFAULT '',
    kro_pagin1 TEXT DEFAULT '', kro_pagout1 TEXT DEFAULT '',
    kro_sagin TEXT DEFAULT '', kro_sagout TEXT DEFAULT '',
    kro_update TEXT DEFAULT '',
    kro_apiin TEXT DEFAULT '', kro_apiout TEXT DEFAULT ''
);
INSERT INTO PARAMETROS (Patente) VALUES (15);
)sql";

// Each column of PARAMETROS in order: name, type, NOT NULL, default.
std::vector<std::string> parameter_columns_of(SQLite::Database& db) {
    std::vector<std::string> columns;
    SQLite::Statement query(db,
                            "SELECT name || ' ' || type || ' ' || \"notnull\" || ' ' || "
                            "ifnull(dflt_value, 'NULL') FROM pragma_table_info('PARAMETROS')");
    while (query.executeStep()) {
        columns.push_back(query.getColumn(0).getString());
    }
    return columns;
}

TEST(SchemaUpgrade, AnOfficeOfTheFirstVersionGainsTheLaterSettingsWithTheirDefaults) {
    Sandbox box;
    SQLite::Database old((box.path() / "old.mdb").string(),
                         SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    old.exec(kFirstParameters);
    upgrade_office_schema(old);

    const auto columns = parameter_columns_of(old);
    ASSERT_EQ(columns.size(), 42u);
    EXPECT_EQ(std::vector<std::string>(columns.end() - 4, columns.end()),
              (std::vector<std::string>{"min_atraso INTEGER 1 30", "tls INTEGER 1 0",
                                        "tls_ca TEXT 0 ''", "sesiones_ftp INTEGER 1 4"}));
    EXPECT_EQ(old.execAndGet("SELECT min_atraso || '|' || tls || '|' || tls_ca || '|' || "
                             "sesiones_ftp FROM PARAMETROS")
                  .getString(),
              "30|0||4");
    // Every declared column is there with its type, and the record reads the row.
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ParamInfo& info = parameter_columns()[i];
        const std::string type = info.type == ParamType::Text ? " TEXT " : " INTEGER ";
        EXPECT_EQ(columns[i].rfind(info.column + type, 0), 0u) << columns[i];
    }
    EXPECT_EQ(ParametersRecord(old).number(Param::sesiones_ftp), 4);

    // A new office has the very columns an upgraded one has, in the same order.
    const test::TestOffice office(box);
    SQLite::Database made(office.db_file.string(), SQLite::OPEN_READONLY);
    EXPECT_EQ(parameter_columns_of(made), columns);
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
