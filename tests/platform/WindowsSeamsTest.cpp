// SPDX-License-Identifier: Apache-2.0
// The Windows side of the platform seams: console stops, text-mode output, the drive root, the
// machine's settings folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "fixtures/Sandbox.h"
#include "platform/BinaryOutput.h"
#include "platform/DriveRoot.h"
#include "platform/SettingsFolder.h"
#include "platform/StopRequests.h"
#include "platform/StopRequestsCheck.h"

namespace ordano {
namespace {
using test::Sandbox;

// Ctrl+C is the console event Wine can send (it refuses Ctrl+Break).
TEST(StopRequests, EachCtrlCReachesTheHandlerOnItsOwnThread) {
    // A console of the test's own, for the events to travel through.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    expect_requests_reach_the_handler(
        [](int) { ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)); }, 130, 130);
}

TEST(StopRequests, OneInstanceAtATime) {
    StopRequests stops([](int) {});
    EXPECT_THROW(StopRequests([](int) {}), std::logic_error);
}

TEST(BinaryOutput, StopsTextModeTurningLineFeedsIntoCrLf) {
    Sandbox box;
    const auto file = box.path() / "salida.txt";
    std::FILE* out = _wfopen(file.c_str(), L"w");  // text mode, as standard output starts
    ASSERT_NE(out, nullptr);
    std::fputs("a\n", out);
    std::fflush(out);
    set_binary_mode(out);
    std::fputs("b\n", out);
    std::fclose(out);
    EXPECT_EQ(Sandbox::read_file(file), "a\r\nb\n");
}

TEST(DriveRoot, IsDriveC) {
    EXPECT_EQ(default_drive_root().wstring(), L"C:\\");
}

// Not under Program Files, which only administrators may write.
TEST(SettingsFolder, IsOrdanoUnderProgramData) {
    ASSERT_TRUE(machine_settings_folder().has_value());
    EXPECT_EQ(machine_settings_folder()->wstring(), L"C:\\ProgramData\\Ordano");
}

}  // namespace
}  // namespace ordano
