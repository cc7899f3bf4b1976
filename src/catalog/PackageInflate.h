#pragma once

#include <filesystem>
#include <stdexcept>

namespace ordano {

// A catalogue package that cannot be installed; what() is the reason, worded for the person.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decompresses a catalogue package (the zlib stream, RFC 1950, of a database file) into
// `database`, which is complete when the call returns. Throws PackageError when the package is
// not a zlib stream, is cut short or carries bytes after its end; no output file is left then.
void inflate_package(const std::filesystem::path& package, const std::filesystem::path& database);

}  // namespace ordano
