// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace ordano::text {

// Files exchanged with the server are Windows-1252; inside the program text is UTF-8.
// The five bytes Windows-1252 leaves undefined map to U+0081, U+008D, U+008F, U+0090, U+009D
// as Windows does, so every byte survives a round trip.
[[nodiscard]] std::string cp1252_to_utf8(std::string_view bytes);

// Text that may hold bytes of the office's disk (file names are Windows-1252 there) as UTF-8:
// what is valid UTF-8 stays, and each byte outside a valid sequence is read as Windows-1252.
[[nodiscard]] std::string as_utf8(std::string_view bytes);

// Throws FormatError for invalid UTF-8 or a character Windows-1252 cannot hold.
[[nodiscard]] std::string utf8_to_cp1252(std::string_view utf8);

// Letter case as the office's Windows maps it over the letters a Windows-1252 text can hold:
// A-Z, À-Þ except ×, and Š, Œ, Ž, Ÿ with their small letters. Other characters, and bytes
// that are not valid UTF-8, pass unchanged.
[[nodiscard]] std::string upper_case(std::string_view utf8);
[[nodiscard]] std::string lower_case(std::string_view utf8);

}  // namespace ordano::text
