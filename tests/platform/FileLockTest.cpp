#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "fixtures/Sandbox.h"
#include "platform/FileLock.h"

namespace ordano {
namespace {
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

TEST(FileLock, AKilledHolderLeavesNoStaleLock) {
    Sandbox box;
    const auto file = box.path() / "office.lock";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto lock = FileLock::try_acquire(file);
        const char byte = lock ? 1 : 0;
        [[maybe_unused]] auto n = write(ready[1], &byte, 1);
        pause();
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    EXPECT_FALSE(FileLock::try_acquire(file).has_value());

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(FileLock::try_acquire(file).has_value());
    close(ready[0]);
    close(ready[1]);
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
    std::filesystem::create_symlink(victim, box.path() / "office.lock");
    EXPECT_THROW((void)FileLock::try_acquire(box.path() / "office.lock"), std::system_error);
    EXPECT_EQ(Sandbox::read_file(victim), "datos de la oficina");
}

}  // namespace
}  // namespace ordano
