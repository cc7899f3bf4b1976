// SPDX-License-Identifier: Apache-2.0
// The journal's owed writes are kept on a full disk: room reserved while there was room is given
// up for them. On a small tmpfs of its own (needs root to mount it).
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/Errors.h"
#include "fixtures/Sandbox.h"
#include "office/OwedJournal.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;

class OwedRoomTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "mounting a small disk needs root";
        }
        disk_ = sandbox_.path() / "disco";
        fs::create_directories(disk_);
        const std::string mount = "mount -t tmpfs -o size=1m tmpfs '" + disk_.string() + "'";
        ASSERT_EQ(std::system(mount.c_str()), 0);
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            const std::string umount = "umount '" + disk_.string() + "'";
            EXPECT_EQ(std::system(umount.c_str()), 0);
        }
    }
    // Writes until the disk refuses a byte more.
    void fill_disk() const {
        std::ofstream out(disk_ / "lleno", std::ios::binary);
        const std::string block(4096, 'x');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size())) && out.flush()) {
        }
        std::ofstream more(disk_ / "lleno2", std::ios::binary);
        while (more.put('x') && more.flush()) {
        }
    }
    static OwedBatch batch() {
        JournalChange sent;
        sent.kind = JournalChange::Kind::Sent;
        sent.entry = 3;
        sent.file.name = "M0015001.343";
        sent.sha256 = std::string(64, 'a');
        return {"ficha", {sent, sent, sent}};
    }

    test::Sandbox sandbox_;
    fs::path disk_;
    bool mounted_ = false;
};

TEST_F(OwedRoomTest, AFullDiskStillTakesTheOwedWritesInTheReservedRoom) {
    const fs::path owed = disk_ / "Prevalida-bitacora-pendiente.txt";
    reserve_owed_room(owed);
    fill_disk();
    // Without the room given up, nothing can be written.
    EXPECT_THROW(save_owed(disk_ / "otro.txt", batch()), NumberedError);

    save_owed_with_room(owed, batch());
    std::size_t unreadable = 0;
    const auto kept = load_owed(owed, unreadable);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->token, "ficha");
    EXPECT_EQ(kept->changes.size(), 3u);
    EXPECT_EQ(unreadable, 0u);
}

}  // namespace
}  // namespace ordano
