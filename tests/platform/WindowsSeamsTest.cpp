// SPDX-License-Identifier: Apache-2.0
// The Windows side of the platform seams: console stops, text-mode output, the drive root, the
// machine's settings folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>

#include <cstdio>

#include "fixtures/HelperProcess.h"
#include "fixtures/Sandbox.h"
#include "fixtures/WineHost.h"
#include "platform/BinaryOutput.h"
#include "platform/DriveRoot.h"
#include "platform/OwnerOnly.h"
#include "platform/SettingsFolder.h"
#include "platform/StopRequests.h"

namespace ordano {
namespace {
using test::Sandbox;

// Ctrl+C is the console event Wine can send (it refuses Ctrl+Break). The events travel through a
// console of the helper's own: under Wine the console's program keeps the output of the process
// that made it open after that process ended, and ctest would wait on the test's output for ever.
TEST(StopRequests, EachCtrlCReachesTheHandlerOnItsOwnThread) {
    test::HelperProcess helper({"ctrl-c"});
    EXPECT_EQ(helper.read_line(), "handler 130 elsewhere");
    EXPECT_EQ(helper.read_line(), "handler 130 elsewhere");
    EXPECT_EQ(helper.read_line(), "exit 130");
    EXPECT_EQ(helper.wait(), 0);
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

// Gives every user of the machine the right to read the file, as a folder like ProgramData does.
void open_to_everyone(const std::filesystem::path& file) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    EXPLICIT_ACCESSW read{};
    read.grfAccessPermissions = GENERIC_READ;
    read.grfAccessMode = SET_ACCESS;
    read.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    read.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    read.Trustee.ptstrName = static_cast<LPWSTR>(everyone);
    PACL acl = nullptr;
    ASSERT_EQ(SetEntriesInAclW(1, &read, nullptr, &acl), DWORD{ERROR_SUCCESS});
    std::wstring name = file.wstring();
    EXPECT_EQ(SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, acl, nullptr),
              DWORD{ERROR_SUCCESS});
    LocalFree(acl);
    FreeSid(everyone);
}

TEST(OwnerOnly, AFileEveryoneMayReadBecomesTheOwnersAlone) {
    if (test::under_wine()) {
        GTEST_SKIP() << test::kWineAccessLists;
    }
    Sandbox box;
    const auto file = box.write_file("Prevalida.mdb", "x");
    open_to_everyone(file);
    EXPECT_TRUE(open_to_others(file));
    restrict_to_owner(file);
    EXPECT_FALSE(open_to_others(file));
    EXPECT_EQ(Sandbox::read_file(file), "x");
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
