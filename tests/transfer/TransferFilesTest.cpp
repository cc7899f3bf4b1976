// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/RunStop.h"
#include "base/Sha256.h"
#include "fixtures/ChildProcess.h"
#include "fixtures/Sandbox.h"
#include "platform/ProcessId.h"
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
    // A rename from another file system into the sandbox cannot work.
    const auto other = other_file_system_folder();
    if (!other) {
        GTEST_SKIP() << "no second file system here";
    }
    Sandbox box;
    const fs::path from = *other / ("ordano-move-" + std::to_string(current_process_id()));
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

// Copying or reading a file stops as soon as a stop is requested, and leaves nothing behind.
TEST(CopyThroughTemp, AStopEndsTheCopyAndTheDigestWithNothingLeft) {
    Sandbox box;
    const auto from = box.write_file("envio/M0015001.033", std::string(200'000, 'M'));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(copy_through_temp(from, box.path() / "M0015001.033", stop.get_token()),
                 RunStopped);
    EXPECT_THROW((void)digest_file(from, stop.get_token()), RunStopped);
    EXPECT_EQ(std::distance(fs::directory_iterator(box.path()), fs::directory_iterator()), 1);
}

// The number and the words of a failed copy, as the person would read them.
std::string copy_failure(const fs::path& from, const fs::path& to) {
    try {
        copy_through_temp(from, to);
        return "copied";
    } catch (const NumberedError& e) {
        return std::to_string(e.number()) + " " + e.description();
    }
}

TEST(CopyThroughTemp, EachLocalFailureHasTheNumberAndWordsOfItsCause) {
    Sandbox box;
    const auto from = box.write_file("work/a.err", std::string(200 * 1024, 'a'));
    const fs::path locked = box.path() / "solo-lectura";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_all, fs::perm_options::remove);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::add);
    const fs::path full = box.path() / "lleno";
    fs::create_directories(full);

    const auto no_access =
        run_in_child({.unprivileged = true}, [&] { return copy_failure(from, locked / "a.err"); });
    const auto disk_full = run_in_child({.max_file_bytes = 64 * 1024},
                                        [&] { return copy_failure(from, full / "a.err"); });
    if (!no_access || !disk_full) {
        GTEST_SKIP() << "a child process cannot take the rights or limits it needs here";
    }
    EXPECT_EQ(*no_access, "70 No se tiene acceso al archivo " + (locked / "a.err").string());
    EXPECT_EQ(*disk_full,
              "61 El disco está lleno: no se pudo escribir " + (full / "a.err").string());
    EXPECT_TRUE(fs::is_empty(full));  // nothing half-written is left
}

}  // namespace
}  // namespace ordano::test
