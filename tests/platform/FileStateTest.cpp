// SPDX-License-Identifier: Apache-2.0
#include "platform/FileState.h"

#include <gtest/gtest.h>

#include "fixtures/Sandbox.h"

namespace ordano {
namespace {
using test::Sandbox;
namespace fs = std::filesystem;

TEST(FileState, ChangesWithTheSizeOrTheTimeOfWritingOnly) {
    Sandbox box;
    const auto file = box.write_file("M0015001.033", "uno");
    const auto first = file_state(file);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->size, 3u);
    EXPECT_EQ(file_state(file), first);  // a second look at an untouched file

    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
    const auto touched = file_state(file);
    ASSERT_TRUE(touched.has_value());
    EXPECT_EQ(touched->size, 3u);
    EXPECT_NE(touched->written, first->written);

    box.write_file("M0015001.033", "dos!");
    EXPECT_EQ(file_state(file)->size, 4u);

    EXPECT_FALSE(file_state(box.path()).has_value());  // a folder
    EXPECT_FALSE(file_state(box.path() / "missing").has_value());
}

}  // namespace
}  // namespace ordano
