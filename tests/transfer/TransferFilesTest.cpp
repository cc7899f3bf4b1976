#include <gtest/gtest.h>

#include <unistd.h>

#include "fixtures/Sandbox.h"
#include "store/Errors.h"
#include "transfer/TransferFiles.h"

namespace ordano::test {
namespace {
namespace fs = std::filesystem;

TEST(MoveIntoPlace, ReplacesTheTargetAndRemovesTheSource) {
    Sandbox box;
    const auto from = box.write_file("work/a.err", "new answer");
    const auto to = box.write_file("rec/a.err", "old answer");
    move_into_place(from, to);
    EXPECT_EQ(Sandbox::read_file(to), "new answer");
    EXPECT_FALSE(fs::exists(from));
}

TEST(MoveIntoPlace, CopiesAcrossFileSystems) {
    // /dev/shm is a memory file system: a rename from it into the sandbox cannot work.
    if (!fs::is_directory("/dev/shm")) {
        GTEST_SKIP() << "no second file system here";
    }
    Sandbox box;
    const fs::path from = fs::path("/dev/shm") / ("ordano-move-" + std::to_string(::getpid()));
    box.write_file(from, "answer bytes");
    const auto to = box.path() / "rec" / "a.err";
    fs::create_directories(to.parent_path());
    move_into_place(from, to);
    EXPECT_EQ(Sandbox::read_file(to), "answer bytes");
    EXPECT_FALSE(fs::exists(from));
}

TEST(MoveIntoPlace, AMissingFolderKeepsTheSourceAndSaysSo) {
    Sandbox box;
    const auto from = box.write_file("work/a.err", "answer");
    try {
        move_into_place(from, box.path() / "missing" / "a.err");
        ADD_FAILURE() << "moved into a folder that does not exist";
    } catch (const NumberedError& e) {
        EXPECT_EQ(e.number(), error_number::kPathNotFound);
    }
    EXPECT_EQ(Sandbox::read_file(from), "answer");
}

}  // namespace
}  // namespace ordano::test
