// SPDX-License-Identifier: Apache-2.0
#include "review/Fields.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "base/Encoding.h"

namespace ordano::review {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool all_ascii(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Numeric text split into its sign and its digits without leading zeros ("0" for zero).
struct Number {
    bool negative = false;
    std::string_view digits;
};

std::optional<Number> parse_number(std::string_view text) {
    text = trim_blanks(text);
    Number number;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        number.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto first = text.find_first_not_of('0');
    number.digits =
        first == std::string_view::npos ? text.substr(text.size() - 1) : text.substr(first);
    if (number.digits == "0") {
        number.negative = false;
    }
    return number;
}

std::optional<int> int_value(const Number& number) {
    long long value = 0;
    const auto* end = number.digits.data() + number.digits.size();
    auto [ptr, ec] = std::from_chars(number.digits.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    value = number.negative ? -value : value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

IntField from_number(const Number& number) {
    IntField field;
    field.shown = number.negative ? "-" : "";
    field.shown += number.digits;
    field.value = int_value(number);
    return field;
}

}  // namespace

std::string_view positions(std::string_view line, std::size_t from, std::size_t to) {
    if (from < 1 || from > line.size() || to < from) {
        return {};
    }
    return line.substr(from - 1, to - from + 1);
}

std::string_view position(std::string_view line, std::size_t at) {
    return positions(line, at, at);
}

std::string_view positions_from(std::string_view line, std::size_t from) {
    return from >= 1 && from <= line.size() ? line.substr(from - 1) : std::string_view{};
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool is_digit(std::string_view one_char) {
    return one_char.size() == 1 && one_char[0] >= '0' && one_char[0] <= '9';
}

bool is_numeric(std::string_view text) {
    return parse_number(text).has_value();
}

IntField read_int(std::string_view cp1252_text) {
    if (const auto number = parse_number(cp1252_text)) {
        return from_number(*number);
    }
    IntField field;
    append_cp1252(field.shown, trim_blanks(cp1252_text));
    return field;
}

IntField read_int_or_zero(std::string_view cp1252_text) {
    const auto number = parse_number(cp1252_text);
    return number ? from_number(*number) : IntField{"0", 0};
}

BarFields::BarFields(std::string_view line) : line_(line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '|') {
            if (count_ < kMaxFields) {
                bars_[count_++] = i;
            }
            last_bar_ = i;
        }
    }
}

std::string_view BarFields::operator[](std::size_t n) const {
    if (!has(n)) {
        return {};
    }
    const std::size_t begin = n == 1 ? 0 : bars_[n - 2] + 1;
    return line_.substr(begin, bars_[n - 1] - begin);
}

std::string_view BarFields::tail() const {
    return last_bar_ == std::string_view::npos ? line_ : line_.substr(last_bar_ + 1);
}

std::string BarFields::after_without_bars(std::size_t n) const {
    std::string out;
    if (n < 1 || n > count_) {
        return out;
    }
    for (const char c : line_.substr(bars_[n - 1] + 1)) {
        if (c != '|') {
            out.push_back(c);
        }
    }
    return out;
}

void append_cp1252(std::string& utf8, std::string_view cp1252) {
    if (all_ascii(cp1252)) {
        utf8.append(cp1252);
    } else {
        utf8 += text::cp1252_to_utf8(cp1252);
    }
}

std::string sentence_case(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    // The first character with its UTF-8 continuation bytes.
    std::size_t first = 1;
    while (first < utf8.size() && (static_cast<unsigned char>(utf8[first]) & 0xC0) == 0x80) {
        ++first;
    }
    return std::string(utf8.substr(0, first)) + text::lower_case(utf8.substr(first));
}

}  // namespace ordano::review
