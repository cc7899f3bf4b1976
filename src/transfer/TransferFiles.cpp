// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferFiles.h"

#include <array>
#include <fstream>
#include <system_error>

#include "base/Errors.h"
#include "base/FileOps.h"
#include "base/LocalFailure.h"
#include "base/RunStop.h"
#include "transfer/LocalFiles.h"

namespace ordano {

void copy_through_temp(const std::filesystem::path& from, const std::filesystem::path& to,
                       const std::stop_token& stop) {
    SourceFile source(from);
    PartFile part(to);
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        stop_point(stop);
        const std::size_t got = source.read(buffer.data(), buffer.size());
        if (got == 0) {
            break;
        }
        if (!part.write(buffer.data(), got)) {
            throw *part.write_failure();
        }
    }
    part.commit();
}

void move_into_place(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (!ec) {
        return;
    }
    // Another file system, a missing folder or no access: the copy says which, by number.
    copy_through_temp(from, to);
    remove_quietly(from);
}

void delete_file(const std::filesystem::path& file) {
    try {
        erase_file(file);
    } catch (const std::filesystem::filesystem_error& e) {
        throw local_failure(file, e.code());
    }
}

void remove_quietly(const std::filesystem::path& file) noexcept {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

}  // namespace ordano
