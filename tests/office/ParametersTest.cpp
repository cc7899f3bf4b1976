// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "fixtures/Sandbox.h"
#include "office/Journal.h"
#include "office/Parameters.h"

namespace ordano {
namespace {
using test::Sandbox;
using test::TestOffice;

class ParametersTest : public ::testing::Test {
protected:
    Sandbox box;
    TestOffice office{box};
    SQLite::Database db{office.db_file.string(), SQLite::OPEN_READWRITE};
};

TEST_F(ParametersTest, EveryColumnOfTheTableIsReadable) {
    ParametersRecord record(db);
    for (const auto& column : parameter_columns()) {
        EXPECT_NO_THROW((void)record.text(column.id)) << column.column;
    }
    EXPECT_EQ(record.number(Param::Patente), 15);
    EXPECT_EQ(record.text(Param::Agente), "NOMBRE");
}

TEST_F(ParametersTest, NullReadsAsEmptyTextOrZero) {
    db.exec("UPDATE PARAMETROS SET Agente=NULL, ip_proxy=NULL");
    ParametersRecord record(db);
    EXPECT_EQ(record.text(Param::Agente), "");
    EXPECT_EQ(record.text(Param::ip_proxy), "");
}

TEST_F(ParametersTest, SaveWritesOnlyTheStagedColumnsAndNotifies) {
    ParametersRecord record(db);
    std::vector<Param> changed;
    record.subscribe([&](Param p) { changed.push_back(p); });
    record.set_text(Param::val_env, "C:\\envio");
    record.set_flag(Param::acc_tel, true);
    EXPECT_TRUE(changed.empty());  // nothing is announced before it is stored
    // Another writer changes a column this record does not stage: it must survive the save.
    db.exec("UPDATE PARAMETROS SET rasoc='OTRA'");
    record.save();
    EXPECT_EQ(changed, (std::vector<Param>{Param::val_env, Param::acc_tel}));
    EXPECT_EQ(db.execAndGet("SELECT val_env FROM PARAMETROS").getString(), "C:\\envio");
    EXPECT_EQ(db.execAndGet("SELECT acc_tel FROM PARAMETROS").getInt(), -1);
    EXPECT_EQ(db.execAndGet("SELECT rasoc FROM PARAMETROS").getString(), "OTRA");
}

TEST_F(ParametersTest, AFailedSaveLeavesRecordAndDatabaseAsTheyWere) {
    ParametersRecord record(db);
    db.exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON PARAMETROS BEGIN "
        "SELECT RAISE(ABORT, 'locked'); END");
    record.set_text(Param::Host_Internet, "10.0.0.9");
    EXPECT_THROW(record.save(), SQLite::Exception);
    EXPECT_EQ(record.text(Param::Host_Internet), "127.0.0.1");
    EXPECT_FALSE(record.has_unsaved_changes());
}

TEST_F(ParametersTest, TypesAreEnforced) {
    ParametersRecord record(db);
    EXPECT_THROW(record.set_text(Param::vererr, "1"), FormatError);
    EXPECT_THROW(record.set_number(Param::Agente, 1), FormatError);
}

TEST_F(ParametersTest, NumbersOutsideTheirBoundsReadAsTheirDefaults) {
    struct Case {
        int stored;
        std::int64_t minutes;   // min_atraso: 1 to a week, else 30
        std::int64_t sessions;  // sesiones_ftp: 1 to 8, else 4
    };
    for (const Case& c : {Case{0, 30, 4}, Case{-3, 30, 4}, Case{1, 1, 1}, Case{8, 8, 8},
                          Case{9, 9, 4}, Case{10080, 10080, 4}, Case{10081, 30, 4}}) {
        const std::string stored = std::to_string(c.stored);
        db.exec("UPDATE PARAMETROS SET min_atraso=" + stored + ", sesiones_ftp=" + stored +
                ", proxy=" + stored);
        ParametersRecord record(db);
        EXPECT_EQ(overdue_minutes(record), c.minutes) << stored;
        EXPECT_EQ(record.bounded_number(Param::sesiones_ftp), c.sessions) << stored;
        EXPECT_EQ(record.number(Param::sesiones_ftp), c.stored);   // kept as stored
        EXPECT_EQ(record.bounded_number(Param::proxy), c.stored);  // a column without bounds
    }
}

TEST(ChangeCodes, NameTheColumnsOneToFifteen) {
    EXPECT_EQ(parameter_for_change_code(1), Param::rasoc);
    EXPECT_EQ(parameter_for_change_code(2), Param::kro_valin);
    EXPECT_EQ(parameter_for_change_code(11), Param::kro_update);
    EXPECT_EQ(parameter_for_change_code(12), Param::PassFTP);
    EXPECT_EQ(parameter_for_change_code(13), Param::Password);
    EXPECT_EQ(parameter_for_change_code(15), Param::kro_apiout);
    EXPECT_EQ(parameter_for_change_code(0), std::nullopt);
    EXPECT_EQ(parameter_for_change_code(16), std::nullopt);
}

}  // namespace
}  // namespace ordano
