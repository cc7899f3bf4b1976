// SPDX-License-Identifier: Apache-2.0
#include "base/Scramble.h"

#include "base/Encoding.h"
#include "base/Errors.h"

namespace ordano {
namespace {

constexpr std::size_t kMaxLength = 254;  // the position counter is one byte

std::string shift(std::string_view text, int direction) {
    std::string units = text::utf8_to_cp1252(text);
    if (units.size() > kMaxLength) {
        throw FormatError("El texto a codificar tiene " + std::to_string(units.size()) +
                          " caracteres; el máximo es 254");
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const int code = static_cast<unsigned char>(units[i]);
        const int shifted = code + direction * static_cast<int>(i + 1 + 15);
        if (shifted < 1 || shifted > 255) {
            throw FormatError("El carácter en la posición " + std::to_string(i + 1) +
                              " no se puede codificar (código " + std::to_string(shifted) + ")");
        }
        units[i] = static_cast<char>(shifted);
    }
    return text::cp1252_to_utf8(units);
}

}  // namespace

std::string scramble(std::string_view text) {
    return shift(text, +1);
}

std::string unscramble(std::string_view text) {
    return shift(text, -1);
}

}  // namespace ordano
