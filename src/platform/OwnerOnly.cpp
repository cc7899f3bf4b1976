#include "platform/OwnerOnly.h"

namespace ordano {

#ifdef _WIN32

void restrict_to_owner(const std::filesystem::path& /*file*/) noexcept {}

#else

void restrict_to_owner(const std::filesystem::path& file) noexcept {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(file, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove,
                    ec);
}

#endif

}  // namespace ordano
