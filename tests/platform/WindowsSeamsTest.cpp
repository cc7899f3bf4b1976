// The Windows side of the platform seams: console stops, text-mode output, the drive root.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <future>
#include <thread>

#include "fixtures/Sandbox.h"
#include "platform/BinaryOutput.h"
#include "platform/DriveRoot.h"
#include "platform/StopRequests.h"

namespace ordano {
namespace {
using test::Sandbox;

// Ctrl+C is the console event Wine can send (it refuses Ctrl+Break).
TEST(StopRequests, EachCtrlCReachesTheHandlerOnItsOwnThread) {
    // A console of the test's own, for the events to travel through.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    std::promise<std::thread::id> first;
    std::promise<int> second;
    int calls = 0;
    {
        StopRequests stops([&](int status) {
            if (++calls == 1) {
                first.set_value(std::this_thread::get_id());
                EXPECT_EQ(status, 130);
            } else {
                second.set_value(status);
            }
        });
        EXPECT_THROW(StopRequests([](int) {}), std::logic_error);
        EXPECT_EQ(stops.exit_status(), 0);
        ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
        auto handler_thread = first.get_future();
        ASSERT_EQ(handler_thread.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_NE(handler_thread.get(), std::this_thread::get_id());
        EXPECT_EQ(stops.exit_status(), 130);

        ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
        auto status = second.get_future();
        ASSERT_EQ(status.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(status.get(), 130);
    }
    EXPECT_EQ(calls, 2);
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

}  // namespace
}  // namespace ordano
