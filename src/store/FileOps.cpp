#include "store/FileOps.h"

#include <system_error>

namespace ordano {

void Borra_Archivo(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) {
        return;
    }
    // A read-only file is deleted too, as the forced delete of the office's Windows does.
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(file);
}

}  // namespace ordano
