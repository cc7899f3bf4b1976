// SPDX-License-Identifier: Apache-2.0
// The POSIX side of the platform seams: file modes, processes of other users, the data folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "fixtures/Environment.h"
#include "fixtures/Sandbox.h"
#include "platform/DriveRoot.h"
#include "platform/OwnerOnly.h"
#include "platform/ProcessId.h"

namespace ordano {
namespace {
using test::Sandbox;
using test::set_environment;

TEST(ProcessId, IsTheSystemsPidAndAnotherUsersProcessCountsAsRunning) {
    EXPECT_EQ(current_process_id(), static_cast<long>(getpid()));
    EXPECT_TRUE(process_running(1));  // not ours to signal, still running
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
    EXPECT_TRUE(open_to_others(open_file));
    restrict_to_owner(open_file);
    EXPECT_EQ(mode_of(open_file), 0600u);

    const auto strict = box.write_file("b", "x");
    chmod(strict.c_str(), 0440);
    restrict_to_owner(strict);
    EXPECT_EQ(mode_of(strict), 0400u);
}

TEST(DriveRoot, IsTheUsersDataFolder) {
    const std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "";
    const char* xdg = getenv("XDG_DATA_HOME");
    const std::optional<std::string> saved = xdg != nullptr ? std::optional(xdg) : std::nullopt;
    set_environment("XDG_DATA_HOME", "/srv/datos");
    EXPECT_EQ(default_drive_root(), std::filesystem::path("/srv/datos/ordano"));
    set_environment("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(default_drive_root(), std::filesystem::path(home) / ".local/share/ordano");
    set_environment("XDG_DATA_HOME", saved);
}

}  // namespace
}  // namespace ordano
