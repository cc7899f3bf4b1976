// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace ordano {

// The reversible scrambling of stored and exchanged passwords. Both work on the Windows-1252
// code units of a UTF-8 text: the character at 1-based position i is shifted by i + 15.
// Throws FormatError for a text of 255 or more characters or a shifted code outside 1..255.
[[nodiscard]] std::string scramble(std::string_view text);
[[nodiscard]] std::string unscramble(std::string_view text);

}  // namespace ordano
