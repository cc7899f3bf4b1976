// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "base/Errors.h"
#include "catalog/CatalogInstall.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/CatalogWorld.h"
#include "catalog/PackageInflate.h"
#include "fixtures/ChildProcess.h"
#include "office/Catalog.h"
#include "office/Parameters.h"

namespace ordano {
namespace {
using test::CatalogWorld;
using test::FtpFaults;
using test::PackageContents;

// Records what a window would show.
struct RecordingObserver : CatalogUpdateObserver {
    void step_marked(int step, StepMark mark) override { marks.emplace_back(step, mark); }
    void result_changed(const std::string& text) override { results.push_back(text); }
    void package_progress(std::int64_t done, std::int64_t total) override {
        last_done = done;
        last_total = total;
        if (done > 0 && on_bytes) {
            on_bytes();
        }
    }
    std::function<void()> on_bytes;
    std::vector<std::pair<int, StepMark>> marks;
    std::vector<std::string> results;
    std::int64_t last_done = 0;
    std::int64_t last_total = 0;
};

class CatalogUpdateTest : public ::testing::Test {
protected:
    CatalogUpdateTest() {
        set_vererr(7);
        // Every replaced table starts with one local row; TIPO_ERRORES keeps its names.
        for (const auto table : kCatalogTables) {
            world.office->db().exec("INSERT INTO " + std::string(table) + " DEFAULT VALUES");
        }
        update.set_observer(&observer);
    }

    void set_vererr(int version) {
        world.office->params().set_number(Param::vererr, version);
        world.office->params().save();
    }
    std::int64_t vererr() const { return world.office->params().number(Param::vererr); }
    std::int64_t stored_vererr() const {
        return world.office->db().execAndGet("SELECT vererr FROM PARAMETROS").getInt64();
    }
    void publish_package(const std::string& version, const PackageContents& contents = {}) {
        world.publish("ACTE" + version + ".mdb.mz", test::make_package(world.box.path(), contents));
    }

    // A run that ended while the package came: nothing changed and nothing is left behind.
    void expect_stopped_at_the_package(const std::string& db_before) {
        EXPECT_EQ(update.mark(3), StepMark::UnderWay);
        EXPECT_TRUE(world.db_bytes() == db_before) << "the database file changed";
        EXPECT_EQ(vererr(), 7);
        EXPECT_TRUE(world.drive_root_files().empty());
        EXPECT_FALSE(update.session().connected());
    }

    CatalogWorld world;
    CatalogUpdate update{*world.office, world.ui};
    RecordingObserver observer;
};

TEST_F(CatalogUpdateTest, SameVersionFetchesNoPackage) {
    world.publish("revact.txt", "0007\r\n");
    const auto before = world.db_bytes();

    EXPECT_EQ(update.recibir(), UpdateOutcome::NoNewerCatalogue);

    EXPECT_EQ(update.mark(1), StepMark::Finished);
    EXPECT_EQ(update.mark(2), StepMark::Result);
    EXPECT_EQ(update.mark(3), StepMark::None);
    EXPECT_EQ(update.result(), "No existen actualizaciones del catálogo!!!");
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_TRUE(world.db_bytes() == before) << "the database file changed";
    EXPECT_TRUE(world.drive_root_files().empty());
    // The connection is closed at this end too, as the server itself saw it.
    EXPECT_FALSE(update.session().connected());
    EXPECT_EQ(world.server.logins("actualizador"), 1);
    EXPECT_TRUE(
        test::FtpServer::wait_for([&] { return world.server.logouts("actualizador") == 1; }));
}

TEST_F(CatalogUpdateTest, NewerVersionReplacesTheSevenTablesOnly) {
    const auto names_before =
        world.column_texts("SELECT TIPO_ERROR FROM TIPO_ERRORES ORDER BY NUM_ERROR");
    // A lookup made before the installation must not keep reading the old table.
    EXPECT_FALSE(world.office->catalog().erroresb(2).has_value());
    world.publish("revact.txt", "0008\r\n0007\r\n");
    publish_package("0008", {.rows = 4});
    // A server that refuses SIZE but states each download's size as it starts.
    world.server.set_faults({.refuse_size = true, .size_in_reply = true});

    EXPECT_EQ(update.recibir(), UpdateOutcome::Installed);

    EXPECT_EQ(vererr(), 8);
    EXPECT_EQ(stored_vererr(), 8);
    PackageContents contents{.rows = 4};
    for (const auto table : kCatalogTables) {
        const std::string name(table);
        EXPECT_EQ(world.count(name), 4) << name;
        const char* column = name == "INFORMACION" ? "TEXTO" : "DESCRIPCION";
        const auto texts = world.column_texts("SELECT " + std::string(column) + " FROM " + name +
                                              " ORDER BY rowid");
        ASSERT_EQ(texts.size(), 4u);
        EXPECT_EQ(texts[3], test::package_description(contents, name, 4));
    }
    EXPECT_EQ(world.column_texts("SELECT TIPO_ERROR FROM TIPO_ERRORES ORDER BY NUM_ERROR"),
              names_before);
    EXPECT_EQ(world.office->db()
                  .execAndGet("SELECT count(*) FROM sqlite_master WHERE type='index' AND "
                              "name LIKE '%_LOOKUP'")
                  .getInt(),
              7);
    EXPECT_EQ(world.office->catalog().erroresb(2),
              test::package_description(contents, "ERRORESB", 2));
    const auto typed = world.office->catalog().erroresm(1 + 3 % 9, 3);
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(typed->description, test::package_description(contents, "ERRORESM", 3));
    EXPECT_EQ(typed->type_name, names_before.at(3));

    EXPECT_EQ(update.mark(1), StepMark::Finished);
    EXPECT_EQ(update.mark(2), StepMark::Finished);
    EXPECT_EQ(update.mark(3), StepMark::Finished);
    EXPECT_EQ(update.mark(4), StepMark::Result);
    EXPECT_EQ(update.result(), "Catálogo actualizado satisfactoriamente!!!");
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_TRUE(world.drive_root_files().empty());
    EXPECT_FALSE(update.session().connected());
    // The fourth mark is never set under way.
    for (const auto& [step, mark] : observer.marks) {
        EXPECT_FALSE(step == 4 && mark == StepMark::UnderWay);
    }
    EXPECT_GT(observer.last_done, 0);
    EXPECT_EQ(observer.last_done, observer.last_total);
}

TEST_F(CatalogUpdateTest, ShortVersionTextIsPaddedWithBlanks) {
    world.publish("revact.txt", "9\r\n");
    publish_package("9   ");

    EXPECT_EQ(update.recibir(), UpdateOutcome::Installed);
    EXPECT_EQ(vererr(), 9);
    EXPECT_EQ(world.count("ERRORESA"), 3);
}

TEST_F(CatalogUpdateTest, MissingLocalTableIsCreatedByTheCopy) {
    world.office->db().exec("DROP TABLE ERRORESS");
    world.publish("revact.txt", "0008");
    publish_package("0008");

    EXPECT_EQ(update.recibir(), UpdateOutcome::Installed);
    EXPECT_EQ(world.count("ERRORESS"), 3);
    EXPECT_EQ(world.office->catalog().erroress(1, 2), test::package_description({}, "ERRORESS", 2));
}

TEST_F(CatalogUpdateTest, NoVersionListEndsAfterStepOne) {
    const auto before = world.db_bytes();

    EXPECT_EQ(update.recibir(), UpdateOutcome::NoVersionList);

    EXPECT_EQ(update.mark(1), StepMark::UnderWay);
    EXPECT_EQ(update.mark(2), StepMark::None);
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_FALSE(update.session().connected());
    EXPECT_TRUE(world.db_bytes() == before) << "the database file changed";
}

TEST_F(CatalogUpdateTest, EveryBadPackageLeavesTheDatabaseAsItWas) {
    struct Case {
        const char* what;
        std::optional<std::string> bytes;  // none: not on the server
        const char* reason;
    };
    const std::string database_bytes = [&] {
        test::make_package_database(world.box.path() / "plain.db", {});
        return test::Sandbox::read_file(world.box.path() / "plain.db");
    }();
    const std::string whole = test::make_package(world.box.path(), {});
    const std::vector<Case> cases = {
        {"missing", std::nullopt, "No se encontró el paquete ACTE0008.mdb.mz en el servidor"},
        {"empty", std::string(), "está vacío"},
        {"not zlib", std::string("esto no es un paquete comprimido"), "está dañado"},
        {"cut short", whole.substr(0, whole.size() / 2), "está dañado"},
        {"trailing bytes", whole + "x", "está dañado"},
        {"not a database", test::compress_bytes(std::string(8192, 'Z')),
         "no contiene una base de datos válida"},
        {"uncompressed database", database_bytes, "está dañado"},
        {"lacks ERRORESD", test::make_package(world.box.path(), {.leave_out = {"ERRORESD"}}),
         "le falta la tabla ERRORESD"},
        {"lacks INFORMACION", test::make_package(world.box.path(), {.leave_out = {"INFORMACION"}}),
         "le falta la tabla INFORMACION"},
        {"lacks a description",
         test::make_package(world.box.path(),
                            {.alter = {"ALTER TABLE ERRORESM DROP COLUMN DESCRIPCION"}}),
         "le falta la columna DESCRIPCION de la tabla ERRORESM"},
        {"a key of text",
         test::make_package(world.box.path(), {.alter = {"DROP TABLE ERRORESB",
                                                         "CREATE TABLE ERRORESB (NUM_ERROR TEXT, "
                                                         "DESCRIPCION TEXT)"}}),
         "la columna NUM_ERROR de la tabla ERRORESB no es de números"},
    };
    world.publish("revact.txt", "0008");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(world.server.local_path("update/ACTE0008.mdb.mz"));
        if (c.bytes) {
            world.publish("ACTE0008.mdb.mz", *c.bytes);
        }
        world.ui.messages.clear();
        const auto before = world.db_bytes();

        EXPECT_EQ(update.recibir(), UpdateOutcome::Failed);

        EXPECT_TRUE(world.db_bytes() == before) << "the database file changed";
        EXPECT_EQ(vererr(), 7);
        EXPECT_EQ(world.count("ERRORESM"), 1);
        EXPECT_NE(update.result().find(c.reason), std::string::npos) << update.result();
        EXPECT_NE(update.result().find("el catálogo no cambió"), std::string::npos);
        ASSERT_EQ(world.ui.messages.size(), 1u);
        EXPECT_EQ(world.ui.messages[0].text, update.result());
        EXPECT_EQ(world.ui.messages[0].icon, MessageIcon::Critical);
        EXPECT_NE(update.mark(4), StepMark::Result);
        EXPECT_TRUE(world.drive_root_files().empty());
        EXPECT_FALSE(update.session().connected());
    }
    // The same database still takes a good package afterwards.
    publish_package("0008");
    EXPECT_EQ(update.recibir(), UpdateOutcome::Installed);
    EXPECT_EQ(world.count("ERRORESM"), 3);
}

// A package whose last table is damaged fails half-way through the copy, after the first six
// tables were dropped and copied: the rollback must restore all of them.
TEST_F(CatalogUpdateTest, FailureDuringTheCopyRollsEveryTableBack) {
    const auto file = world.box.path() / "damaged.db";
    test::make_package_database(file, {.rows = 2000});
    std::string bytes = test::Sandbox::read_file(file);
    // INFORMACION was written last: its pages are at the end of the file.
    for (std::size_t i = bytes.size() - 3 * 4096; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(0xA5);
    }
    world.publish("revact.txt", "0008");
    world.publish("ACTE0008.mdb.mz", test::compress_bytes(bytes));
    const auto before = world.db_bytes();

    EXPECT_EQ(update.recibir(), UpdateOutcome::Failed);

    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_TRUE(
        world.ui.messages[0].text.ends_with("Proceso: Actualización del catálogo de errores"));
    EXPECT_EQ(update.result().rfind("La actualización no terminó: ", 0), 0u) << update.result();
    EXPECT_TRUE(world.db_bytes() == before) << "the database file changed";
    for (const auto table : kCatalogTables) {
        EXPECT_EQ(world.count(std::string(table)), 1) << table;
    }
    EXPECT_EQ(vererr(), 7);
    EXPECT_EQ(world.office->catalog().erroresb(0), std::string());
}

TEST_F(CatalogUpdateTest, ConnectionDroppedMidPackage) {
    world.publish("revact.txt", "0008");
    publish_package("0008", {.rows = 3000});
    const auto before = world.db_bytes();
    FtpFaults faults;
    faults.cut_after_bytes = 20000;
    world.server.set_faults(faults);

    EXPECT_EQ(update.recibir(), UpdateOutcome::Failed);

    ASSERT_EQ(world.ui.messages.size(), 1u);
    const auto& shown = world.ui.messages[0];
    EXPECT_EQ(shown.text.rfind("Error Número: 1000\r\nDescripción: ", 0), 0u) << shown.text;
    EXPECT_TRUE(shown.text.ends_with("Proceso: Actualización del catálogo de errores"));
    EXPECT_EQ(shown.icon, MessageIcon::None);
    EXPECT_FALSE(shown.caption.has_value());
    expect_stopped_at_the_package(before);
}

TEST_F(CatalogUpdateTest, AStopCancelsThePackageAndEndsTheRunQuietly) {
    world.publish("revact.txt", "0008");
    publish_package("0008", {.rows = 3000});
    const auto before = world.db_bytes();
    FtpFaults slow;
    slow.throttle_bytes_per_second = 10000;
    world.server.set_faults(slow);
    observer.on_bytes = [this] { world.office->request_stop(); };

    EXPECT_EQ(update.recibir(), UpdateOutcome::Stopped);

    EXPECT_TRUE(world.ui.messages.empty());
    expect_stopped_at_the_package(before);
}

// The program dies (kill -9, a power cut) as soon as the package has come, as it is unpacked.
struct KilledOnceThePackageCame : test::ScriptedUi {
    explicit KilledOnceThePackageCame(std::filesystem::path root) : root_(std::move(root)) {}
    void run_blocking(const std::function<void()>& work) override {
        if (!packages_under(root_).empty()) {
            std::_Exit(137);  // as kill -9: nothing more of the program runs
        }
        work();
    }
    static std::vector<std::string> packages_under(const std::filesystem::path& folder) {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.path().filename() == "ACTE0008.mdb.mz") {
                found.push_back(entry.path().string());
            }
        }
        return found;
    }
    std::filesystem::path root_;
};

// What a killed run left is gone after the next start-up, once that process has ended.
TEST_F(CatalogUpdateTest, APackageLeftByAKilledRunIsSweptAtTheNextStart) {
    world.publish("revact.txt", "0008");
    publish_package("0008");
    const auto killed = test::run_in_child({}, [this] {
        KilledOnceThePackageCame ui(world.files.drive_root);
        const auto office = Office::open(world.files.path_options(), world.clock);
        (void)CatalogUpdate(*office, ui).recibir();
        return std::string("not killed");
    });
    if (!killed) {
        GTEST_SKIP() << "no child process to kill here";
    }
    EXPECT_EQ(*killed, "");  // it died before it could answer
    world.reopen();
    EXPECT_EQ(KilledOnceThePackageCame::packages_under(world.files.drive_root),
              std::vector<std::string>{});
    EXPECT_EQ(vererr(), 7);
}

// The database can grow no further, as on a full disk.
TEST_F(CatalogUpdateTest, AFullDiskDuringTheInstallationIs61) {
    world.publish("revact.txt", "0008");
    publish_package("0008", {.rows = 2000});
    auto& db = world.office->db();
    db.exec("PRAGMA max_page_count = " +
            std::to_string(db.execAndGet("PRAGMA page_count").getInt() + 2));

    EXPECT_EQ(update.recibir(), UpdateOutcome::Failed);

    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_EQ(world.ui.messages[0].text,
              "Error Número: 61\r\nDescripción: El disco está lleno: no se pudo escribir la base "
              "de datos " +
                  world.files.db_file.string() + "Proceso: Actualización del catálogo de errores");
    EXPECT_EQ(vererr(), 7);
    EXPECT_EQ(world.count("ERRORESM"), 1);
}

// A package that inflates past the bound, or past what the disk can hold, is refused.
TEST(PackageInflation, StopsAtTheBoundAndLeavesNothing) {
    test::Sandbox box;
    const auto package =
        box.write_file("ACTE0008.mdb.mz", test::compress_bytes(std::string(3 << 20, '\0')));
    const auto database = box.path() / "ACTE0008.mdb";
    try {
        inflate_package(package, database, {.max_bytes = 1 << 20});
        ADD_FAILURE() << "inflated past the bound";
    } catch (const PackageError& e) {
        EXPECT_STREQ(e.what(),
                     "El paquete ACTE0008.mdb.mz se descomprime en más de 1 MB, más que "
                     "cualquier catálogo de errores");
    }
    EXPECT_FALSE(std::filesystem::exists(database));
    try {
        inflate_package(package, database, {.free_bytes = kFreeSpaceMargin + (2 << 20)});
        ADD_FAILURE() << "inflated past the free space";
    } catch (const NumberedError& e) {
        EXPECT_EQ(e.number(), 61);
        EXPECT_EQ(e.description(),
                  "No hay espacio en el disco para descomprimir el paquete "
                  "ACTE0008.mdb.mz en " +
                      box.path().string() + " (caben 2 MB sin llenarlo)");
    }
    EXPECT_FALSE(std::filesystem::exists(database));
    inflate_package(package, database, {.max_bytes = 4 << 20});
    EXPECT_EQ(std::filesystem::file_size(database), 3u << 20);
}

TEST_F(CatalogUpdateTest, RefusedLoginAndUnreachableServer) {
    FtpFaults faults;
    faults.refuse_logins = true;
    world.server.set_faults(faults);
    EXPECT_EQ(update.recibir(), UpdateOutcome::Failed);
    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_EQ(world.ui.messages[0].text, "Usuario o Password no aceptado");
    EXPECT_EQ(world.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(world.ui.messages[0].caption, std::string(kProductName));
    EXPECT_EQ(update.mark(1), StepMark::None);
    world.server.clear_faults();

    world.office->session().host = "127.0.0.1:1";
    world.ui.messages.clear();
    EXPECT_EQ(update.recibir(), UpdateOutcome::Failed);
    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_EQ(world.ui.messages[0].text.rfind("No hay conexión al servidor de ZORVANIK\r\n\r\n", 0),
              0u);
    EXPECT_EQ(world.ui.messages[0].icon, MessageIcon::Critical);
}

TEST_F(CatalogUpdateTest, SalirClosesTheSessionAndASecondRunWaits) {
    world.publish("revact.txt", "0007");
    // A click while the run waits for the server does not start a second run.
    UpdateOutcome nested = UpdateOutcome::Installed;
    world.ui.on_next_yield([&] { nested = update.recibir(); });
    EXPECT_EQ(update.recibir(), UpdateOutcome::NoNewerCatalogue);
    EXPECT_EQ(nested, UpdateOutcome::Busy);
    EXPECT_EQ(world.server.logins("actualizador"), 1);
    update.salir();
    EXPECT_FALSE(update.session().connected());
    // The marks and the result line stay for a window shown again.
    EXPECT_EQ(update.mark(2), StepMark::Result);
    EXPECT_EQ(update.result(), "No existen actualizaciones del catálogo!!!");
}

}  // namespace
}  // namespace ordano
