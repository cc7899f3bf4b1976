// SPDX-License-Identifier: Apache-2.0
#include "base/LocalFailure.h"

#include <cerrno>

namespace ordano {
namespace fs = std::filesystem;

namespace {

bool is_missing(std::error_code cause) {
    return cause == std::errc::no_such_file_or_directory || cause == std::errc::not_a_directory;
}

bool is_full(std::error_code cause) {
    // A file larger than the disk (or the system) lets a file grow counts as no room left.
    return cause == std::errc::no_space_on_device || cause == std::errc::file_too_large;
}

NumberedError missing(const fs::path& path) {
    std::error_code ignored;
    const auto folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ignored)) {
        return NumberedError(error_number::kPathNotFound,
                             "No se encuentra la carpeta " + folder.string());
    }
    return NumberedError(error_number::kPathNotFound,
                         "No se encuentra el archivo " + path.string());
}

}  // namespace

NumberedError local_failure(const fs::path& path, std::error_code cause) {
    if (is_missing(cause)) {
        return missing(path);
    }
    if (is_full(cause)) {
        return NumberedError(error_number::kDiskFull,
                             "El disco está lleno: no se pudo escribir " + path.string());
    }
    return NumberedError(error_number::kFileLocked,
                         "No se tiene acceso al archivo " + path.string());
}

NumberedError last_local_failure(const fs::path& path) {
    const int code = errno;
    if (code != 0) {
        return local_failure(path, std::error_code(code, std::generic_category()));
    }
    std::error_code ignored;
    return fs::exists(path, ignored)
               ? local_failure(path, std::make_error_code(std::errc::io_error))
               : missing(path);
}

}  // namespace ordano
