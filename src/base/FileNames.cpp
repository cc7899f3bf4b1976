// SPDX-License-Identifier: Apache-2.0
#include "base/FileNames.h"

#include <algorithm>
#include <system_error>

namespace ordano {
namespace {

namespace fs = std::filesystem;

fs::path utf8_path(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

fs::path path_in_folder(std::string_view folder, std::string_view file_name) {
    return utf8_path(folder) / utf8_path(file_name);
}

std::string shown_path(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string upper_case_name(std::string_view name) {
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), upper_case_letter);
    return out;
}

bool is_bare_name(std::string_view name) {
    using namespace std::string_view_literals;
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:\0"sv) == std::string_view::npos;
}

std::optional<fs::path> find_file_ignoring_case(const fs::path& folder, std::string_view name) {
    // Only a bare name is looked up: a typed "..\\x" or "../x" must not leave the folder.
    if (!is_bare_name(name)) {
        return std::nullopt;
    }
    std::error_code error;
    const fs::path exact = folder / utf8_path(name);
    if (fs::is_regular_file(exact, error)) {
        return exact;
    }
    fs::directory_iterator entries(folder, error);
    if (error) {
        return std::nullopt;
    }
    const std::string wanted = upper_case_name(name);
    for (const fs::directory_entry& entry : entries) {
        std::error_code type_error;
        if (upper_case_name(shown_path(entry.path().filename())) == wanted &&
            entry.is_regular_file(type_error)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

}  // namespace ordano
