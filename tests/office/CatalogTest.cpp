// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/Sandbox.h"
#include "office/Catalog.h"
#include "office/Office.h"
#include "office/Schema.h"

namespace ordano {
namespace {

class CatalogTest : public ::testing::Test {
protected:
    CatalogTest() {
        create_schema(db);
        db.exec(R"sql(
            INSERT INTO ERRORESM (REG, CAMPO, TIPO_ERROR, NUM_ERROR, DESCRIPCION) VALUES
                (0, 0, 1, 5, 'GENERAL UNO-CINCO'),
                (501, 3, 3, 7, 'CAMPO OBLIGATORIO'),
                (501, 4, 3, 7, 'OTRO CAMPO'),
                (0, 0, 1, 5, 'SEGUNDA FILA');
            INSERT INTO ERRORESC (TIPO_ERROR, NUM_ERROR, DESCRIPCION) VALUES (2, 44, 'CLAVE');
            INSERT INTO ERRORESD (REG, CAMPO, TIPO_ERROR, CONSECUTIVO, DESCRIPCION) VALUES
                (1, 0, 'A', '5', 'PARA TODO CAMPO'),
                (1, 9, 'B', '5', 'SOLO CAMPO 9');
            INSERT INTO ERRORESB VALUES (17, 'PAGO RECHAZADO');
            INSERT INTO ERRORESS (TIPO, CODIGO, DESCRIPCION) VALUES (2, 15, 'SAGARPA');
            INSERT INTO ERRORESA VALUES (3, 'API');
            INSERT INTO INFORMACION VALUES (7, 'Aviso siete');
        )sql");
    }
    SQLite::Database db{":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE};
    Catalog catalog{db};
};

TEST_F(CatalogTest, ErroresmJoinsTheTypeNameAndTakesTheFirstRow) {
    auto row = catalog.erroresm(1, 5);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->type_name, "Error de estructura");
    EXPECT_EQ(row->description, "GENERAL UNO-CINCO");
    EXPECT_FALSE(catalog.erroresm(1, 6));
    EXPECT_FALSE(catalog.erroresm(8, 5));  // a type without a description row
}

TEST_F(CatalogTest, ErroresmByRecordAndField) {
    EXPECT_EQ(catalog.erroresm(3, 7, 501, 4)->description, "OTRO CAMPO");
    EXPECT_EQ(catalog.erroresm(3, 7, 501, 3)->type_name, "Error de campo");
    EXPECT_FALSE(catalog.erroresm(3, 7, 502, 3));
    // Reusing the statement never carries the previous lookup's values.
    EXPECT_EQ(catalog.erroresm(3, 7)->description, "CAMPO OBLIGATORIO");
}

TEST_F(CatalogTest, EveryOtherTableWithAndWithoutARow) {
    EXPECT_EQ(catalog.erroresc(44)->tipo_error, 2);
    EXPECT_EQ(catalog.erroresc(44)->description, "CLAVE");
    EXPECT_FALSE(catalog.erroresc(45));
    EXPECT_EQ(catalog.erroresd("A", "5", 3), "PARA TODO CAMPO");  // field 0 matches every field
    EXPECT_EQ(catalog.erroresd("B", "5", 9), "SOLO CAMPO 9");
    EXPECT_FALSE(catalog.erroresd("B", "5", 8));
    EXPECT_FALSE(catalog.erroresd("A", "05", 3));  // compared as text
    // Letter case is ignored, as the office's database engine compared texts.
    EXPECT_EQ(catalog.erroresd("b", "5", 9), "SOLO CAMPO 9");
    EXPECT_EQ(catalog.erroresb(17), "PAGO RECHAZADO");
    EXPECT_FALSE(catalog.erroresb(18));
    EXPECT_EQ(catalog.erroress(2, 15), "SAGARPA");
    EXPECT_FALSE(catalog.erroress(15, 2));
    EXPECT_EQ(catalog.erroresa(3), "API");
    EXPECT_FALSE(catalog.erroresa(4));
    EXPECT_EQ(catalog.informacion(7), "Aviso siete");
    EXPECT_FALSE(catalog.informacion(12));
}

TEST_F(CatalogTest, LookupsFollowAReplacedTableAfterInvalidate) {
    EXPECT_EQ(catalog.erroresb(17), "PAGO RECHAZADO");
    db.exec("DROP TABLE ERRORESB");
    db.exec("CREATE TABLE ERRORESB AS SELECT 17 AS NUM_ERROR, 'NUEVA' AS DESCRIPCION");
    catalog.invalidate();
    EXPECT_EQ(catalog.erroresb(17), "NUEVA");
}

TEST_F(CatalogTest, AReadScopeNestsInsideAnOpenTransaction) {
    db.exec("BEGIN");
    {
        Catalog::ReadScope read(catalog);
        EXPECT_EQ(catalog.erroresa(3), "API");
    }
    db.exec("INSERT INTO ERRORESA VALUES (4, 'NUEVA')");
    db.exec("ROLLBACK");  // the outer transaction is still the caller's to end
    EXPECT_FALSE(catalog.erroresa(4));
}

TEST(CatalogIndexes, StartUpReplacesTheExactIndexOfAnOlderDatabase) {
    test::Sandbox sandbox;
    const test::TestOffice files(sandbox);
    const auto indexes = [&] {
        SQLite::Database db(files.db_file.string());
        SQLite::Statement query(db,
                                "SELECT name FROM sqlite_master WHERE type='index' AND "
                                "tbl_name='ERRORESD'");
        std::vector<std::string> names;
        while (query.executeStep()) {
            names.push_back(query.getColumn(0).getString());
        }
        return names;
    };
    {
        SQLite::Database db(files.db_file.string(), SQLite::OPEN_READWRITE);
        db.exec("DROP INDEX ERRORESD_NOCASE_LOOKUP");
        db.exec("CREATE INDEX ERRORESD_LOOKUP ON ERRORESD (TIPO_ERROR, CONSECUTIVO, CAMPO)");
    }
    const FixedClock clock{LocalDateTime{std::chrono::year{2026} / 2 / 2, 10, 0, 0}};
    (void)Office::open(files.path_options(), clock);
    EXPECT_EQ(indexes(), std::vector<std::string>{"ERRORESD_NOCASE_LOOKUP"});
}

}  // namespace
}  // namespace ordano
