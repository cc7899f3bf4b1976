// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <variant>

#include "review/AnswerReview.h"

namespace ordano::review {

// Opens an answer file for reading; the failure names the path.
[[nodiscard]] std::optional<ReviewFailure> open_answer(const std::filesystem::path& path,
                                                       std::ifstream& in);
[[nodiscard]] ReviewFailure unfinished_read(const std::filesystem::path& path);

// The whole file decoded from Windows-1252, or why it could not be read.
[[nodiscard]] std::variant<std::string, ReviewFailure> read_answer_text(
    const std::filesystem::path& path);

}  // namespace ordano::review
