// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "catalog/CatalogCheck.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/CatalogWorld.h"
#include "office/Parameters.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {
using test::CatalogWorld;

constexpr const char* kQuestion =
    "Existe una versión actualizada del catálogo de errores, ¿Deseas descargar la "
    "actualización?";

class CatalogCheckTest : public ::testing::Test {
protected:
    CatalogCheckTest() {
        world.office->params().set_number(Param::vererr, 7);
        world.office->params().save();
        hooks.show = [this] { events.push_back("show"); };
        hooks.hide = [this] { events.push_back("hide"); };
    }
    bool check() {
        return check_for_newer_catalog(*world.office, principal, world.ui, update, hooks);
    }

    CatalogWorld world;
    FtpSession principal{"eftpPrincipal"};
    CatalogUpdate update{*world.office, world.ui};
    CatalogWindowHooks hooks;
    std::vector<std::string> events;
};

TEST_F(CatalogCheckTest, NewerCatalogueOnYesIsInstalled) {
    world.publish("revact.txt", "0008\r\n");
    world.publish("ACTE0008.mdb.mz", test::make_package(world.box.path(), {}));
    world.ui.answer(MessageAnswer::Yes);

    EXPECT_TRUE(check());

    ASSERT_EQ(world.ui.messages.size(), 2u);
    EXPECT_EQ(world.ui.messages[0].text, kQuestion);
    EXPECT_EQ(world.ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(world.ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(world.ui.messages[0].caption, std::string(kProductName));
    EXPECT_EQ(world.ui.messages[1].text, "Catálogo de errores actualizado correctamente");
    EXPECT_EQ(world.ui.messages[1].icon, MessageIcon::None);
    EXPECT_EQ(world.office->params().number(Param::vererr), 8);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "hide"}));
    EXPECT_FALSE(principal.connected());
    EXPECT_FALSE(update.session().connected());
    EXPECT_TRUE(world.drive_root_files().empty());
}

TEST_F(CatalogCheckTest, NoLeavesTheCatalogueAlone) {
    world.publish("revact.txt", "0008");
    world.ui.answer(MessageAnswer::No);
    EXPECT_FALSE(check());
    EXPECT_EQ(world.ui.texts(), (std::vector<std::string>{kQuestion}));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(world.office->params().number(Param::vererr), 7);
    EXPECT_TRUE(world.drive_root_files().empty());
}

TEST_F(CatalogCheckTest, NothingNewerAsksNothing) {
    world.publish("revact.txt", "0007");
    EXPECT_FALSE(check());
    EXPECT_TRUE(world.ui.messages.empty());
}

TEST_F(CatalogCheckTest, FailuresOfTheCheckAreSilent) {
    EXPECT_FALSE(check());  // no version list
    world.publish("revact.txt", "abcd");
    EXPECT_FALSE(check());
    world.publish("revact.txt", "0009");
    test::FtpFaults faults;
    faults.refuse_logins = true;
    world.server.set_faults(faults);
    EXPECT_FALSE(check());
    EXPECT_TRUE(world.ui.messages.empty());
    EXPECT_FALSE(principal.connected());
    EXPECT_TRUE(world.drive_root_files().empty());
}

TEST_F(CatalogCheckTest, FailedUpdateIsNotReportedAsSuccess) {
    world.publish("revact.txt", "0008");  // and no package
    world.ui.answer(MessageAnswer::Yes);
    EXPECT_FALSE(check());
    ASSERT_EQ(world.ui.messages.size(), 2u);
    EXPECT_NE(world.ui.messages[1].text.find("No se encontró el paquete ACTE0008.mdb.mz"),
              std::string::npos);
    EXPECT_EQ(world.office->params().number(Param::vererr), 7);
}

}  // namespace
}  // namespace ordano
