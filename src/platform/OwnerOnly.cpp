// SPDX-License-Identifier: Apache-2.0
#include "platform/OwnerOnly.h"

namespace ordano {

#ifdef _WIN32

void restrict_to_owner(const std::filesystem::path& /*file*/) noexcept {}

bool open_to_others(const std::filesystem::path& /*file*/) {
    return false;
}

#else

void restrict_to_owner(const std::filesystem::path& file) noexcept {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(file, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove,
                    ec);
}

bool open_to_others(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    const fs::perms mode = fs::status(file).permissions();
    return (mode & (fs::perms::group_all | fs::perms::others_all)) != fs::perms::none;
}

#endif

}  // namespace ordano
