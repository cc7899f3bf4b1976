// SPDX-License-Identifier: Apache-2.0
// The journal's owed writes are kept on a full disk: room reserved while there was room is given
// up for them. On a small tmpfs of its own (needs root to mount it).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Errors.h"
#include "fixtures/Sandbox.h"
#include "fixtures/SmallDisk.h"
#include "office/OwedJournal.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;

class OwedRoomTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto why = test::SmallDisk::missing(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        disk_.emplace(folder_, "1m");
        ASSERT_TRUE(disk_->mounted());
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
    fs::path folder_ = sandbox_.path() / "disco";
    std::optional<test::SmallDisk> disk_;
};

TEST_F(OwedRoomTest, AFullDiskStillTakesTheOwedWritesInTheReservedRoom) {
    const fs::path owed = folder_ / "Prevalida-bitacora-pendiente.txt";
    reserve_owed_room(owed);
    disk_->fill();
    // Without the room given up, nothing can be written.
    EXPECT_THROW(save_owed(folder_ / "otro.txt", batch()), NumberedError);

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
