// SPDX-License-Identifier: Apache-2.0
#include "review/AnswerFile.h"

#include <iterator>
#include <system_error>

#include "base/Encoding.h"
#include "base/Errors.h"
#include "base/FileNames.h"

namespace ordano::review {

std::optional<ReviewFailure> open_answer(const std::filesystem::path& path, std::ifstream& in) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return ReviewFailure{error_number::kPathNotFound,
                             "No se encontró el archivo " + shown_path(path)};
    }
    // A folder where the file should be, or a folder that may not be entered, cannot be read.
    if (!error && !std::filesystem::is_directory(status)) {
        in.open(path, std::ios::binary);
    }
    if (!in.is_open()) {
        return ReviewFailure{error_number::kFileLocked,
                             "No se puede leer el archivo " + shown_path(path)};
    }
    return std::nullopt;
}

ReviewFailure unfinished_read(const std::filesystem::path& path) {
    return {error_number::kFileLocked, "No se pudo leer completo el archivo " + shown_path(path) +
                                           "; el reporte llega hasta donde se leyó"};
}

std::variant<std::string, ReviewFailure> read_answer_text(const std::filesystem::path& path) {
    std::ifstream in;
    if (auto failure = open_answer(path, in)) {
        return *failure;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return unfinished_read(path);
    }
    return text::cp1252_to_utf8(bytes);
}

}  // namespace ordano::review
