#include "review/Fields.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "store/Encoding.h"

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

// --- UTF-8 case mapping ---------------------------------------------------------------

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the sequence at s[i]; `length` is its byte count (1 for a byte that is not valid
// UTF-8, which is then kInvalid).
char32_t decode(std::string_view s, std::size_t i, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(s[i]);
    length = 1;
    if (lead < 0x80) {
        return lead;
    }
    const std::size_t extra = (lead & 0xE0) == 0xC0   ? 1
                              : (lead & 0xF0) == 0xE0 ? 2
                              : (lead & 0xF8) == 0xF0 ? 3
                                                      : 0;
    if (extra == 0 || i + extra >= s.size()) {
        return kInvalid;
    }
    char32_t cp = lead & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            return kInvalid;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    length = extra + 1;
    return cp;
}

void encode(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Upper/lower pairs outside the two contiguous ranges A-Z and U+00C0-U+00DE.
struct CasePair {
    char32_t upper, lower;
};
constexpr CasePair kExtraPairs[] = {
    {0x0152, 0x0153}, {0x0160, 0x0161}, {0x0178, 0x00FF}, {0x017D, 0x017E}};

char32_t to_lower(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) {
        return cp + 0x20;
    }
    for (const auto& pair : kExtraPairs) {
        if (pair.upper == cp) {
            return pair.lower;
        }
    }
    return cp;
}

char32_t to_upper(char32_t cp) {
    if ((cp >= 'a' && cp <= 'z') || (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)) {
        return cp - 0x20;
    }
    for (const auto& pair : kExtraPairs) {
        if (pair.lower == cp) {
            return pair.upper;
        }
    }
    return cp;
}

std::string map_case(std::string_view utf8, char32_t (*map)(char32_t)) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 1;
        const char32_t cp = decode(utf8, i, length);
        if (cp == kInvalid) {
            out.append(utf8.substr(i, length));
        } else {
            encode(out, map(cp));
        }
        i += length;
    }
    return out;
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

std::string_view BarFields::head() const {
    return count_ == 0 ? line_ : line_.substr(0, bars_[0]);
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

std::string upper_case(std::string_view utf8) {
    return map_case(utf8, to_upper);
}

std::string lower_case(std::string_view utf8) {
    return map_case(utf8, to_lower);
}

std::string sentence_case(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    std::size_t first = 1;
    (void)decode(utf8, 0, first);
    return std::string(utf8.substr(0, first)) + lower_case(utf8.substr(first));
}

}  // namespace ordano::review
