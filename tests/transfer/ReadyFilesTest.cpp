// SPDX-License-Identifier: Apache-2.0
// Which files of the send folders are ready to go: the settle rule and the names never taken.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "fixtures/Sandbox.h"
#include "office/Session.h"
#include "transfer/ReadyFiles.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Steady = ReadyFiles::Clock;

constexpr int kJulianDay = 33;

class ReadyFilesTest : public ::testing::Test {
protected:
    ReadyFilesTest() {
        folders_.val_env = (box_.path() / "saai").string();
        fs::create_directories(folders_.val_env);
    }
    fs::path file(const std::string& name) const { return fs::path(folders_.val_env) / name; }
    void write(const std::string& name, std::string_view bytes) {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    FolderLook look() const { return look_at_send_folders(folders_, kJulianDay); }
    // The names ready at `seconds` on the watch's clock.
    std::vector<std::string> ready_at(ReadyFiles& ready, int seconds) const {
        std::vector<std::string> names;
        for (const ReadyFile& file :
             ready.look(look().files, start_ + std::chrono::seconds(seconds)).ready) {
            names.push_back(file.file.name);
        }
        return names;
    }

    // Waits until the file system's clock has moved past the file's last change: a rewrite in
    // the same tick of that clock would leave every time as it was.
    void clock_moves_past(const std::string& name) {
        const std::int64_t changed = file_state(file(name))->changed;
        const auto deadline = Steady::now() + std::chrono::seconds(5);
        while (file_state(file(name + ".tmp")).value_or(FileState{}).changed <= changed &&
               Steady::now() < deadline) {
            write(name + ".tmp", "reloj");
        }
    }

    Sandbox box_;
    LocalFolders folders_;
    Steady::time_point start_ = Steady::now();
};

// Settle time 10 s. The file is looked at when it appears, changed (or not) 5 s later and
// looked at again then, and looked at 12 s and 16 s after it appeared: any change starts the
// settle time again, whatever the change.
TEST_F(ReadyFilesTest, AFileIsReadyOnceUnchangedForTheSettleTime) {
    const std::string name = "M0015001.033";
    const auto keep_times = [this, name](const std::function<void()>& change) {
        const auto written = fs::last_write_time(file(name));
        change();
        fs::last_write_time(file(name), written);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"unchanged", [] {}},
        {"grown", [this, name] { std::ofstream(file(name), std::ios::app) << "+"; }},
        {"rewritten, same size and time",
         [&] {
             clock_moves_past(name);
             keep_times([&] { write(name, "OTRO"); });
         }},
        {"replaced by another file, same size and time",
         [&] {
             keep_times([&] {
                 write("nuevo.tmp", "OTRO");
                 fs::last_write_time(file("nuevo.tmp"), fs::last_write_time(file(name)));
                 fs::rename(file("nuevo.tmp"), file(name));
             });
         }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        write(name, "ORIG");
        ReadyFiles ready([](const FolderFile&) { return std::nullopt; }, std::chrono::seconds(10));
        EXPECT_THAT(ready_at(ready, 0), IsEmpty());
        change();
        EXPECT_THAT(ready_at(ready, 5), IsEmpty());
        const bool changed = std::string(what) != "unchanged";
        EXPECT_EQ(ready_at(ready, 12).size(), changed ? 0u : 1u);
        EXPECT_EQ(ready_at(ready, 16).size(), 1u);
    }
}

TEST_F(ReadyFilesTest, TemporaryNamesAndNamesDifferingOnlyInLetterCaseAreNeverTaken) {
#ifdef _WIN32
    GTEST_SKIP() << "names differing only in letter case are one file here";
#endif
    for (const char* name : {"M0015001.033", "M0015002.033.tmp", "M0015003.033.part",
                             "~M0015004.033", "M0015005.033", "m0015005.033", "C0015006.033"}) {
        write(name, "x");
    }
    const FolderLook found = look();
    std::vector<std::string> taken;
    for (const FolderFile& file : found.files) {
        taken.push_back(file.name);
    }
    std::ranges::sort(taken);
    EXPECT_THAT(taken, ElementsAre("C0015006.033", "M0015001.033"));
    EXPECT_THAT(found.clashes, ElementsAre(ElementsAre("M0015005.033", "m0015005.033")));
}

}  // namespace
}  // namespace ordano::test
