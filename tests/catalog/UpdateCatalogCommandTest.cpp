// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "catalog/CatalogWorld.h"
#include "cli/Cli.h"

namespace ordano {
namespace {
using test::CatalogWorld;

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

CliResult run_update_catalog(const CatalogWorld& world, const char* option = nullptr) {
    std::vector<std::string> args = {"ordano-cli",
                                     "--ini",
                                     world.files.ini_file.string(),
                                     "--root",
                                     world.files.drive_root.string(),
                                     "update-catalog"};
    if (option != nullptr) {
        args.emplace_back(option);
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = cli::run(static_cast<int>(argv.size()), argv.data());
    return {status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

long long stored_vererr(const CatalogWorld& world) {
    SQLite::Database db(world.files.db_file.string());
    return db.execAndGet("SELECT vererr FROM PARAMETROS").getInt64();
}

TEST(UpdateCatalogCommand, InstallsAndPrintsEachStep) {
    CatalogWorld world;
    world.publish("revact.txt", "0003");
    world.publish("ACTE0003.mdb.mz", test::make_package(world.box.path(), {}));

    const auto result = run_update_catalog(world);

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(stored_vererr(world), 3);
    EXPECT_NE(result.out.find("Paso 1 - Descargando Lista de Actualizaciones: terminado"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Paso 4 - Instalando Actualización de Catálogo: resultado"),
              std::string::npos);
    EXPECT_NE(result.out.find("No existió el archivo\n"), std::string::npos);
    EXPECT_TRUE(result.out.ends_with("Catálogo actualizado satisfactoriamente!!!\n"));

    // Run again: nothing newer, still a success.
    const auto again = run_update_catalog(world);
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.ends_with("No existen actualizaciones del catálogo!!!\n"));
}

TEST(UpdateCatalogCommand, JsonTellsVersionsStepsAndResult) {
    CatalogWorld world;
    world.publish("revact.txt", "0003");
    world.publish("ACTE0003.mdb.mz", test::make_package(world.box.path(), {}));

    const auto result = run_update_catalog(world, "--json");

    EXPECT_EQ(result.status, 0) << result.err;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
    EXPECT_EQ(json["command"].toString(), "update-catalog");
    EXPECT_EQ(json["status"].toInt(), 0);
    EXPECT_EQ(json["outcome"].toString(), "installed");
    EXPECT_EQ(json["version_before"].toInt(), 0);
    EXPECT_EQ(json["version_after"].toInt(), 3);
    const QJsonArray steps = json["steps"].toArray();
    ASSERT_EQ(steps.size(), 4) << result.out;
    EXPECT_EQ(steps[0]["step"].toInt(), 1);
    EXPECT_EQ(steps[0]["name"].toString(), "Descargando Lista de Actualizaciones");
    EXPECT_EQ(steps[0]["state"].toString(), "finished");
    EXPECT_EQ(steps[3]["state"].toString(), "result");
    EXPECT_EQ(json["result"].toString(), "Catálogo actualizado satisfactoriamente!!!");
}

TEST(UpdateCatalogCommand, FailureExitsWithOne) {
    CatalogWorld world;
    world.publish("revact.txt", "0003");
    world.publish("ACTE0003.mdb.mz", "no es un paquete");

    const auto result = run_update_catalog(world);

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(stored_vererr(world), 0);
    EXPECT_NE(result.err.find("ACTE0003.mdb.mz está dañado"), std::string::npos) << result.err;

    std::filesystem::remove(world.server.local_path("update/revact.txt"));
    const auto no_list = run_update_catalog(world);
    EXPECT_EQ(no_list.status, 1);
    EXPECT_NE(no_list.err.find("revact.txt"), std::string::npos);
}

}  // namespace
}  // namespace ordano
