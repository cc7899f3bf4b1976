// SPDX-License-Identifier: Apache-2.0
#include "review/FileSearch.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "base/Errors.h"
#include "base/FileNames.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;

constexpr std::array<SearchKind, 4> kSearchKinds = {{
    {'M', &LocalFolders::val_env},  // "SAAI M3"
    {'E', &LocalFolders::pag_env},  // "PAGO ELECTRÓNICO"
    {'S', &LocalFolders::sag_env},  // "SAGARPA"
    {'D', &LocalFolders::val_env},  // "CARTAS CUPO"
}};

std::string digits(int number, int width) {
    std::string text = std::to_string(number < 0 ? -static_cast<long long>(number) : number);
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    }
    return number < 0 ? "-" + text : text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A typed day written with three digits when it is a whole number ("45" gives "045").
std::string day_text(std::string_view text) {
    const std::string_view number = trimmed(text);
    const bool negative = !number.empty() && number.front() == '-';
    const std::string_view magnitude = negative ? number.substr(1) : number;
    if (magnitude.empty() || magnitude.size() > 9 ||
        !std::all_of(magnitude.begin(), magnitude.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return std::string(text);
    }
    const int value = std::stoi(std::string(magnitude));
    return digits(negative ? -value : value, 3);
}

// One pattern without ";": "*" any run, "?" any one character, case ignored. Backtracks only
// to the last "*", so a name is scanned in linear steps per star.
bool matches_one(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || upper_case_letter(pattern[p]) == upper_case_letter(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

[[noreturn]] void throw_folder_error(int number, const char* what, const fs::path& folder) {
    throw NumberedError(number, std::string(what) + shown_path(folder));
}

}  // namespace

std::optional<SearchKind> search_kind(int index) {
    if (index < 0 || index >= static_cast<int>(kSearchKinds.size())) {
        return std::nullopt;
    }
    return kSearchKinds[static_cast<std::size_t>(index)];
}

std::string build_file_pattern(SearchBy by, std::string_view letra_tipo, int patente,
                               int dia_juliano, std::string_view text) {
    const std::string prefix = std::string(letra_tipo) + digits(patente, 4);
    if (by == SearchBy::CurrentDay) {
        return text.empty() ? prefix + "*." + digits(dia_juliano, 3) : std::string(text);
    }
    if (!text.empty()) {
        return prefix + "*." + day_text(text);
    }
    // Julian days 000 to 399, one pattern per leading digit.
    std::string pattern;
    for (const char hundreds : {'0', '1', '2', '3'}) {
        if (!pattern.empty()) {
            pattern += ';';
        }
        pattern += prefix + "*." + hundreds + "*";
    }
    return pattern;
}

bool matches_file_pattern(std::string_view pattern, std::string_view name) {
    std::size_t start = 0;
    while (start <= pattern.size()) {
        const std::size_t end = std::min(pattern.find(';', start), pattern.size());
        const std::string_view one = trimmed(pattern.substr(start, end - start));
        if (!one.empty() && matches_one(one, name)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

std::vector<std::string> matching_files(const fs::path& folder, std::string_view pattern) {
    std::error_code error;
    const auto status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found || (!error && !fs::is_directory(status))) {
        throw_folder_error(error_number::kPathNotFound, "No existe la carpeta ", folder);
    }
    fs::directory_iterator entries(folder, error);
    if (error) {
        throw_folder_error(error_number::kFileLocked, "No se puede leer la carpeta ", folder);
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : entries) {
        std::error_code type_error;
        if (!entry.is_regular_file(type_error)) {
            continue;
        }
        std::string name = shown_path(entry.path().filename());
        if (matches_file_pattern(pattern, name)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string fa = upper_case_name(a);
        const std::string fb = upper_case_name(b);
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

}  // namespace ordano
