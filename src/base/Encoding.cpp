// SPDX-License-Identifier: Apache-2.0
#include "base/Encoding.h"

#include <array>
#include <cstdint>

#include "base/Errors.h"

namespace ordano::text {
namespace {

// Code points of bytes 0x80-0x9F; the undefined ones map to the C1 control of the same value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t code_point_of(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

void append_utf8(std::string& out, char32_t cp) {
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

char byte_of(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    throw FormatError("El carácter U+" + std::to_string(static_cast<std::uint32_t>(cp)) +
                      " no existe en la página de códigos Windows-1252");
}

// Decodes one UTF-8 sequence starting at `i`, advancing `i`.
char32_t next_code_point(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        throw FormatError("Texto UTF-8 no válido");
    }
    if (i + extra >= s.size()) {
        throw FormatError("Texto UTF-8 incompleto");
    }
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            throw FormatError("Texto UTF-8 no válido");
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += extra + 1;
    return cp;
}

// --- Letter case ------------------------------------------------------------------------

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the sequence at s[i]; `length` is its byte count (1 for a byte that is not valid
// UTF-8, which is then kInvalid).
char32_t decode_lenient(std::string_view s, std::size_t i, std::size_t& length) {
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

// The length of the valid UTF-8 sequence at s[i] (no overlong forms, surrogates or code
// points past U+10FFFF); 0 when there is none.
std::size_t valid_sequence(std::string_view s, std::size_t i) {
    std::size_t length = 1;
    const char32_t cp = decode_lenient(s, i, length);
    if (cp == kInvalid) {
        return 0;
    }
    const char32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = cp >= lowest[length] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    return valid ? length : 0;
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
        const char32_t cp = decode_lenient(utf8, i, length);
        if (cp == kInvalid) {
            out.append(utf8.substr(i, length));
        } else {
            append_utf8(out, map(cp));
        }
        i += length;
    }
    return out;
}

}  // namespace

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string as_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t length = valid_sequence(bytes, i); length > 0) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            append_utf8(out, code_point_of(static_cast<unsigned char>(bytes[i++])));
        }
    }
    return out;
}

std::string utf8_to_cp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        out.push_back(byte_of(next_code_point(utf8, i)));
    }
    return out;
}

std::string upper_case(std::string_view utf8) {
    return map_case(utf8, to_upper);
}

std::string lower_case(std::string_view utf8) {
    return map_case(utf8, to_lower);
}

}  // namespace ordano::text
