// SPDX-License-Identifier: Apache-2.0
#include "catalog/ServerFiles.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/FileOps.h"
#include "transfer/FtpRoutines.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

constexpr int kOverflow = 6;

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

[[noreturn]] void not_a_number(std::string_view text) {
    throw NumberedError(error_number::kTypeMismatch,
                        "No coinciden los tipos: \"" + std::string(text) + "\" no es un número");
}

[[noreturn]] void out_of_range(std::string_view text) {
    throw NumberedError(kOverflow, "Desbordamiento: " + std::string(text));
}

long long parse_whole(std::string_view text, long long low, long long high) {
    const std::string_view digits = trim_blanks(text);
    std::string_view body = digits;
    if (!body.empty() && body.front() == '+') {
        body.remove_prefix(1);
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (body.empty() || (error != std::errc() && error != std::errc::result_out_of_range) ||
        end != body.data() + body.size()) {
        not_a_number(text);
    }
    if (error == std::errc::result_out_of_range || value < low || value > high) {
        out_of_range(text);
    }
    return value;
}

}  // namespace

std::optional<std::vector<std::string>> read_text_lines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text::cp1252_to_utf8(std::string_view(bytes).substr(start)));
            break;
        }
        lines.push_back(text::cp1252_to_utf8(std::string_view(bytes).substr(start, end - start)));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::optional<std::string> read_first_line(const std::filesystem::path& file) {
    auto bytes = read_first_line_bytes(file);
    if (!bytes) {
        return std::nullopt;
    }
    return text::cp1252_to_utf8(*bytes);
}

std::vector<std::string> closed_fields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (auto bar = line.find('|'); bar != std::string_view::npos; bar = line.find('|', start)) {
        fields.emplace_back(line.substr(start, bar - start));
        start = bar + 1;
    }
    return fields;
}

int parse_int16(std::string_view text) {
    return static_cast<int>(parse_whole(text, std::numeric_limits<std::int16_t>::min(),
                                        std::numeric_limits<std::int16_t>::max()));
}

long parse_int32(std::string_view text) {
    return static_cast<long>(parse_whole(text, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max()));
}

int round_to_int16(std::string_view text) {
    const std::string_view body = trim_blanks(text);
    double value = 0;
    const auto [end, error] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (body.empty() || error != std::errc() || end != body.data() + body.size()) {
        not_a_number(text);
    }
    const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        out_of_range(text);
    }
    return static_cast<int>(rounded);
}

bool download_if_present(FtpSession& ftp, UiPort& ui, const std::filesystem::path& local_folder,
                         std::string_view remote_folder, std::string_view name) {
    try {
        download_file(ftp, ui, local_folder, remote_folder, name);
    } catch (const FtpError& e) {
        if (e.number() != ftp_error::kNotTransferred) {
            throw;
        }
    }
    std::error_code ignored;
    return std::filesystem::is_regular_file(local_folder / name, ignored);
}

ScopedRemoval::~ScopedRemoval() {
    for (const auto& file : files_) {
        try {
            erase_file(file);
        } catch (...) {
            // A file that cannot be deleted now is overwritten or deleted by the next run.
        }
    }
}

}  // namespace ordano
