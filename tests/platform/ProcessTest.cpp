// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "fixtures/HelperProcess.h"
#include "fixtures/Sandbox.h"
#include "fixtures/WineHost.h"
#include "platform/OwnerOnly.h"
#include "platform/ProcessId.h"

namespace ordano {
namespace {
using test::HelperProcess;
using test::Sandbox;

TEST(ProcessId, TellsLiveProcessesFromEndedOnes) {
    EXPECT_TRUE(process_running(current_process_id()));
    HelperProcess helper({"stay"});
    // The process numbers itself as the system that started it does.
    EXPECT_EQ(helper.read_line(), std::to_string(helper.id()));
    EXPECT_TRUE(process_running(helper.id()));

    helper.kill();
    EXPECT_FALSE(process_running(helper.id()));
    EXPECT_FALSE(process_running(0));
}

TEST(OwnerOnly, TheOwnerStillReadsAndWritesAFileKeptFromOthers) {
    if (test::under_wine()) {
        GTEST_SKIP() << test::kWineAccessLists;
    }
    Sandbox box;
    const auto file = box.write_file("Prevalida.mdb", "x");
    restrict_to_owner(file);
    EXPECT_FALSE(open_to_others(file));
    box.write_file("Prevalida.mdb", "xy");
    EXPECT_EQ(Sandbox::read_file(file), "xy");
    restrict_to_owner(box.path() / "missing");  // nothing to do, no failure
}

}  // namespace
}  // namespace ordano
