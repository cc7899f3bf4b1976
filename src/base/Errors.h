// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stdexcept>
#include <string>

namespace ordano {

// A failure the program reports by number, as the office's staff know them: the FTP numbers
// (1000-1029), the file-system numbers 61 (disk full), 68 (path not found) and 70 (no access,
// file locked), and so on.
class NumberedError : public std::runtime_error {
public:
    NumberedError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    [[nodiscard]] int number() const noexcept { return number_; }
    [[nodiscard]] std::string description() const { return what(); }

private:
    int number_;
};

namespace error_number {
inline constexpr int kTypeMismatch = 13;
inline constexpr int kDiskFull = 61;
inline constexpr int kPathNotFound = 68;
inline constexpr int kFileLocked = 70;
}  // namespace error_number

// Start-up could not bring the office up (settings file, database, parameters row).
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A stored or exchanged value that cannot be read as the program expects.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ordano
