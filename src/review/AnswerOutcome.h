// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace ordano {

// What an answer says of the file it answers.
enum class AnswerOutcome {
    Prevalidated,  // a prevalidation report: the validation answer is still to come
    Accepted,      // a validation answer without error records
    Rejected,      // a validation answer with at least one error record
};

// Decided from the answer's name (its kind, as the review tells it) and its error records,
// read as the review reads them. nullopt when the file cannot be read or its kind is unknown.
[[nodiscard]] std::optional<AnswerOutcome> answer_outcome(std::string_view name,
                                                          const std::filesystem::path& file);

}  // namespace ordano
