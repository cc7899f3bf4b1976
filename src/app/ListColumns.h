// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <span>

namespace ordano {

// Column positions of the main window's lists: position 0 is the row's text,
// position n its sub-item n. The last column, "Situación", is the window's own: where the file
// stands, as the journal names it.
namespace send_list {
enum Column : int {
    kName = 0,
    kStatus = 1,
    kIcono = 2,
    kRutaPre = 3,
    kRutaVal = 4,
    kOutcome = 5,
    kCount = 6
};
}  // namespace send_list

namespace receive_list {
enum Column : int {
    kName = 0,
    kPrevalidation = 1,  // "" awaited, "X" received or not expected
    kValidation = 2,     // "" awaited, "X" received
    kSentAt = 3,         // "hh:mm ampm"
    kRutaPrev = 4,
    kRutaVal = 5,
    kArchivoPrev = 6,
    kArchivoVal = 7,
    kRutaDest = 8,
    kIcono = 9,
    kOutcome = 10,
    kCount = 11
};
}  // namespace receive_list

// How a column shows: its header, its key (empty when it has none), whether the clerk sees it
// (the hidden ones carry what the transfers need), and what its header's tooltip explains.
struct ColumnSpec {
    const char* header;
    const char* key;
    bool visible;
    int width;
    const char* tip = nullptr;
};

[[nodiscard]] std::span<const ColumnSpec> send_list_columns();
[[nodiscard]] std::span<const ColumnSpec> receive_list_columns();
[[nodiscard]] std::span<const ColumnSpec> file_list_columns();

}  // namespace ordano
