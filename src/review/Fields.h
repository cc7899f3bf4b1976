// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ordano::review {

// Characters `from` to `to` (1-based, inclusive) of a line; a field that reaches past the end
// of a short line yields only the characters that are there, possibly none.
[[nodiscard]] std::string_view positions(std::string_view line, std::size_t from, std::size_t to);
// Character `at` (1-based), or nothing past the end of the line.
[[nodiscard]] std::string_view position(std::string_view line, std::size_t at);
// From character `from` (1-based) to the end of the line.
[[nodiscard]] std::string_view positions_from(std::string_view line, std::size_t from);

[[nodiscard]] std::string_view trim_blanks(std::string_view text);
[[nodiscard]] bool is_digit(std::string_view one_char);
// Blanks around, an optional sign, then at least one digit and nothing else.
[[nodiscard]] bool is_numeric(std::string_view text);

// A field read as a whole number. A numeric text is shown in plain decimal without leading
// zeros, whatever its size; any other text is shown as it stands, trimmed (as UTF-8), and
// gives no value, so no lookup is made with it.
struct IntField {
    std::string shown;
    std::optional<int> value;  // present when numeric and within the range of an int
};
[[nodiscard]] IntField read_int(std::string_view cp1252_text);
// For fields whose non-numeric text counts as 0.
[[nodiscard]] IntField read_int_or_zero(std::string_view cp1252_text);

// The fields of a line separated by "|": field n is the text before the n-th "|" and after
// the one before it, and exists only when its closing "|" is present. The tail is the text
// after the last "|" (the whole line when it has none).
class BarFields {
public:
    static constexpr std::size_t kMaxFields = 8;

    explicit BarFields(std::string_view line);
    [[nodiscard]] bool has(std::size_t n) const { return n >= 1 && n <= count_; }
    // Field n (1-based, at most kMaxFields), empty when the line does not reach it.
    [[nodiscard]] std::string_view operator[](std::size_t n) const;
    [[nodiscard]] std::string_view tail() const;
    // Everything after the n-th "|" to the end of the line, with any further "|" left out;
    // empty when the line has fewer than n bars.
    [[nodiscard]] std::string after_without_bars(std::size_t n) const;

private:
    std::string_view line_;
    std::array<std::size_t, kMaxFields> bars_{};  // offsets of the first "|" characters
    std::size_t count_ = 0;                       // bars found, at most kMaxFields
    std::size_t last_bar_ = std::string_view::npos;
};

// Appends Windows-1252 bytes to a UTF-8 text.
void append_cp1252(std::string& utf8, std::string_view cp1252);

// The first character as stored, the rest in lower case ("ERROR EN EL CAMPO" gives
// "Error en el campo").
[[nodiscard]] std::string sentence_case(std::string_view utf8);

}  // namespace ordano::review
