#include "store/Encoding.h"

#include <array>
#include <cstdint>

#include "store/Errors.h"

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
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
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

}  // namespace

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
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

}  // namespace ordano::text
