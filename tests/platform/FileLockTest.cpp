// SPDX-License-Identifier: Apache-2.0
#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include "fixtures/HelperProcess.h"
#include "fixtures/Sandbox.h"

namespace ordano {
namespace {
using test::HelperProcess;
using test::Sandbox;

TEST(FileLock, OneHolderAtATimeAndTheNoteTellsWho) {
    Sandbox box;
    const auto file = box.path() / "office.lock";
    auto first = FileLock::try_acquire(file);
    ASSERT_TRUE(first.has_value());
    first->write_note("pid 42 ordano");
    first->write_note("pid 7 ordano-cli");  // a shorter note replaces the longer one whole

    EXPECT_FALSE(FileLock::try_acquire(file).has_value());
    EXPECT_EQ(read_lock_note(file), "pid 7 ordano-cli");

    first.reset();
    EXPECT_EQ(read_lock_note(file), "");
    EXPECT_TRUE(FileLock::try_acquire(file).has_value());
}

TEST(FileLock, AnotherProcessKeepsItUntilItIsKilledAndLeavesNoStaleLock) {
    Sandbox box;
    const auto file = box.path() / "office.lock";
    HelperProcess holder({"hold-lock", file.string()});
    ASSERT_EQ(holder.read_line(), "locked");
    EXPECT_FALSE(FileLock::try_acquire(file).has_value());
    EXPECT_EQ(read_lock_note(file), "helper");  // readable while held

    holder.kill();
    EXPECT_TRUE(FileLock::try_acquire(file).has_value());
}

TEST(FileLock, AFolderThatCannotHoldTheFileIsAnError) {
    Sandbox box;
    EXPECT_THROW((void)FileLock::try_acquire(box.path() / "missing" / "office.lock"),
                 std::system_error);
}

// A link put where the lock file goes is refused, and what it points at stays as it was.
TEST(FileLock, ALinkInPlaceOfTheFileIsNotFollowed) {
    Sandbox box;
    const auto victim = box.write_file("Prevalida.mdb", "datos de la oficina");
    if (!test::create_symlink(victim, box.path() / "office.lock")) {
        GTEST_SKIP() << "this system makes no symbolic links here";
    }
    EXPECT_THROW((void)FileLock::try_acquire(box.path() / "office.lock"), std::system_error);
    EXPECT_EQ(Sandbox::read_file(victim), "datos de la oficina");
}

}  // namespace
}  // namespace ordano
