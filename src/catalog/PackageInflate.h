// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace ordano {

// A catalogue package that cannot be installed; what() is the reason, worded for the person.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How far a package may inflate. A real catalogue is a few megabytes and the largest the
// program is measured with (500,000 rows in each table) 132 MB: a package that inflates
// past kMaxCatalogueBytes is not a catalogue. Whatever the bound, the decompression stops
// short of filling the disk, leaving kFreeSpaceMargin free.
inline constexpr std::uint64_t kMaxCatalogueBytes = std::uint64_t{1} << 30;  // 1 GiB
inline constexpr std::uint64_t kFreeSpaceMargin = std::uint64_t{64} << 20;   // 64 MiB

struct InflateBounds {
    std::uint64_t max_bytes = kMaxCatalogueBytes;
    // The free space of the output's disk; measured when the decompression starts if not given.
    std::optional<std::uint64_t> free_bytes{};
};

// Decompresses a catalogue package (the zlib stream, RFC 1950, of a database file) into
// `database`, which is complete when the call returns. Throws PackageError when the package is
// not a zlib stream, is cut short, carries bytes after its end or inflates past max_bytes;
// NumberedError 61 when it would not leave the margin free on the disk (68, 70 or 61 when the
// output cannot be written). No output file is left after a failure.
void inflate_package(const std::filesystem::path& package, const std::filesystem::path& database,
                     const InflateBounds& bounds = {});

}  // namespace ordano
