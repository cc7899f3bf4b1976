#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fixtures/Sandbox.h"
#include "platform/OwnerOnly.h"
#include "platform/ProcessId.h"

namespace ordano {
namespace {
using test::Sandbox;

TEST(ProcessId, TellsLiveProcessesFromEndedOnes) {
    EXPECT_EQ(current_process_id(), static_cast<long>(getpid()));
    EXPECT_TRUE(process_running(current_process_id()));
    EXPECT_TRUE(process_running(1));  // not ours to signal, still running

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(process_running(child));
    EXPECT_FALSE(process_running(0));
}

mode_t mode_of(const std::filesystem::path& file) {
    struct stat st {};
    stat(file.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(OwnerOnly, RemovesOthersRightsAndKeepsStricterModes) {
    Sandbox box;
    const auto open_file = box.write_file("a", "x");
    chmod(open_file.c_str(), 0664);
    restrict_to_owner(open_file);
    EXPECT_EQ(mode_of(open_file), 0600u);

    const auto strict = box.write_file("b", "x");
    chmod(strict.c_str(), 0440);
    restrict_to_owner(strict);
    EXPECT_EQ(mode_of(strict), 0400u);

    restrict_to_owner(box.path() / "missing");  // nothing to do, no failure
}

}  // namespace
}  // namespace ordano
