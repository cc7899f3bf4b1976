// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordano {

class FtpSession;
class UiPort;

// Small text files the server publishes (version lists, password, parameter and bulletin
// files): Windows-1252 bytes, one record per line, fields each ended by "|".

// The lines of a file as UTF-8 text. A line ends at CR LF, a lone CR or a lone LF: these
// files come from servers of every kind, and a version text must never carry a line break.
// std::nullopt when the file cannot be opened.
[[nodiscard]] std::optional<std::vector<std::string>> read_text_lines(
    const std::filesystem::path& file);
// The first line ("" for an empty file); std::nullopt when the file cannot be opened.
[[nodiscard]] std::optional<std::string> read_first_line(const std::filesystem::path& file);

// The fields of a line, each ended by "|"; characters after the last "|" are not a field.
[[nodiscard]] std::vector<std::string> closed_fields(std::string_view line);

// A whole number in the 16-bit range, blanks around it allowed ("7", " -12 "). Throws
// NumberedError 13 (not a number) or 6 (out of range).
[[nodiscard]] int parse_int16(std::string_view text);
// The same for the 32-bit range.
[[nodiscard]] long parse_int32(std::string_view text);
// A number converted to the nearest 16-bit integer, halves to even ("2", "2.5" -> 2, "3.5" -> 4).
[[nodiscard]] int round_to_int16(std::string_view text);

// Downloads remote_folder/name into local_folder. A file the server does not have (error 1003)
// is not a failure here: the result is false and no local file is left.
bool download_if_present(FtpSession& ftp, UiPort& ui, const std::filesystem::path& local_folder,
                         std::string_view remote_folder, std::string_view name);

// Deletes the named local files when it goes out of scope, whatever ended the work.
class ScopedRemoval {
public:
    ScopedRemoval() = default;
    explicit ScopedRemoval(std::filesystem::path file) { add(std::move(file)); }
    ~ScopedRemoval();
    ScopedRemoval(const ScopedRemoval&) = delete;
    ScopedRemoval& operator=(const ScopedRemoval&) = delete;

    void add(std::filesystem::path file) { files_.push_back(std::move(file)); }
    // Keeps the files after all (the work they belong to succeeded).
    void release() { files_.clear(); }

private:
    std::vector<std::filesystem::path> files_;
};

}  // namespace ordano
