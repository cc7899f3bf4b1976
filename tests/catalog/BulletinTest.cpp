// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include "catalog/Bulletin.h"
#include "catalog/CatalogWorld.h"
#include "catalog/Ticker.h"
#include "office/Catalog.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {
using test::CatalogWorld;

class BulletinTest : public ::testing::Test {
protected:
    BulletinTest() {
        world.office->db().exec(
            "INSERT INTO INFORMACION (CODIGO, TEXTO) VALUES (7, 'Mantenimiento el sábado')");
        ticker.show("Boletín anterior", true);
        ticker.subscribe([this] { ++changes; });
    }
    void refresh(bool boton) { fetch_bulletin(boton, *world.office, principal, world.ui, ticker); }
    bool local_copy_exists() const {
        return std::filesystem::exists(world.files.drive_root / kBulletinFile);
    }

    CatalogWorld world;
    FtpSession principal{"eftpPrincipal"};
    Ticker ticker;
    int changes = 0;
};

TEST_F(BulletinTest, ExampleLine) {
    world.publish(kBulletinFile, "05/12/2019|10:30|7|12|\r\nsegunda línea|\r\n");
    world.server.set_faults({.refuse_size = true});
    refresh(false);
    EXPECT_EQ(ticker.text(),
              "Información del 05/12/2019 a las 10:30 Horas - Mantenimiento el sábado - ");
    EXPECT_TRUE(ticker.on());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_FALSE(local_copy_exists());
    EXPECT_FALSE(principal.connected());
    EXPECT_TRUE(
        test::FtpServer::wait_for([&] { return world.server.logouts("actualizador") == 1; }));
}

TEST_F(BulletinTest, WindowsBytesAndTextAfterTheLastBar) {
    // "Información" in Windows-1252, and characters after the last bar ignored.
    world.publish(kBulletinFile, "lunes \xF1|08:00|7|resto");
    refresh(true);
    EXPECT_EQ(ticker.text(), "Información del lunes ñ a las 08:00 Horas - Mantenimiento el sábado");
}

TEST_F(BulletinTest, TwoFieldsOnlyStopTheTicker) {
    world.publish(kBulletinFile, "05/12/2019|10:30|");
    refresh(true);
    EXPECT_EQ(ticker.text(), "");
    EXPECT_FALSE(ticker.on());
    EXPECT_TRUE(world.ui.messages.empty());
}

TEST_F(BulletinTest, ThreeUnknownNumbersLeaveTheirSeparators) {
    world.publish(kBulletinFile, "05/12/2019|10:30|1|2|3|");
    refresh(false);
    EXPECT_EQ(ticker.text(), "Información del 05/12/2019 a las 10:30 Horas -  -  - ");
    EXPECT_TRUE(ticker.on());
}

TEST_F(BulletinTest, NoBulletinFileStopsTheTickerSilently) {
    for (bool boton : {false, true}) {
        ticker.show("Boletín anterior", true);
        refresh(boton);
        EXPECT_EQ(ticker.text(), "");
        EXPECT_FALSE(ticker.on());
    }
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_FALSE(principal.connected());
}

TEST_F(BulletinTest, StaleLocalCopyIsNeverShown) {
    world.box.write_file(world.files.drive_root / kBulletinFile, "01/01/2000|09:00|7|");
    refresh(true);
    EXPECT_EQ(ticker.text(), "");
    EXPECT_FALSE(local_copy_exists());
}

TEST_F(BulletinTest, UpdateAccountIsUsedWhateverTheOfficeAccount) {
    world.office->session().pass_ftp = "equivocada";
    world.publish(kBulletinFile, "05/12/2019|10:30|7|");
    refresh(true);
    EXPECT_TRUE(ticker.on());
    EXPECT_EQ(world.server.logins("actualizador"), 1);
    EXPECT_EQ(world.server.logins("ag0015") + world.server.refused_logins("ag0015"), 0);
}

TEST_F(BulletinTest, BadMessageNumberIsReportedAndTheTickerKeepsItsText) {
    const std::vector<std::pair<std::string, int>> lines = {
        {"05/12/2019|10:30|7|40000|", 6}, {"05/12/2019|10:30|siete|", 13}, {"a|b|7.5|", 13}};
    for (const auto& [line, number] : lines) {
        SCOPED_TRACE(line);
        world.ui.messages.clear();
        world.publish(kBulletinFile, line);
        refresh(false);  // reported even when the program asked for the refresh
        ASSERT_EQ(world.ui.messages.size(), 1u);
        EXPECT_EQ(world.ui.messages[0].text.rfind(
                      "Error No. " + std::to_string(number) + "\r\nDescripcion: ", 0),
                  0u)
            << world.ui.messages[0].text;
        EXPECT_EQ(world.ui.messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(world.ui.messages[0].caption, std::string(kProductName));
        EXPECT_EQ(ticker.text(), "Boletín anterior");
        EXPECT_TRUE(ticker.on());
        EXPECT_FALSE(local_copy_exists());
        EXPECT_FALSE(principal.connected());
    }
    // The next refresh reads its file again: nothing was left open or behind.
    world.publish(kBulletinFile, "05/12/2019|10:30|7|");
    refresh(false);
    EXPECT_EQ(ticker.text(),
              "Información del 05/12/2019 a las 10:30 Horas - Mantenimiento el sábado");
}

TEST_F(BulletinTest, RefusedLoginIsReportedOnlyWhenAsked) {
    world.publish(kBulletinFile, "05/12/2019|10:30|7|");
    test::FtpFaults faults;
    faults.refuse_logins = true;
    world.server.set_faults(faults);
    refresh(false);
    EXPECT_TRUE(world.ui.messages.empty());
    refresh(true);
    EXPECT_EQ(world.ui.texts(), (std::vector<std::string>{"El Usuario o Contraseña no aceptado"}));
    EXPECT_EQ(ticker.text(), "Boletín anterior");
    EXPECT_EQ(changes, 0);
}

TEST_F(BulletinTest, UnreachableServerIsReportedOnlyWhenAsked) {
    world.office->session().host = "127.0.0.1:1";
    refresh(false);
    EXPECT_TRUE(world.ui.messages.empty());
    refresh(true);
    ASSERT_EQ(world.ui.messages.size(), 1u);
    EXPECT_EQ(world.ui.messages[0].text.rfind("No hay conexión al servidor de ZORVANIK", 0), 0u);
    EXPECT_TRUE(ticker.on());
}

}  // namespace
}  // namespace ordano
