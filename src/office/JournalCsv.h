// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>

#include "office/JournalQuery.h"

namespace ordano {

// The history's rows as CSV (RFC 4180: fields separated by commas, quoted when they hold a
// comma, a quote or a line end, lines ended by CR LF), UTF-8 with a byte-order mark so that a
// spreadsheet on the office's Windows reads the accents: a header line, then one line per row
// in the history's order. Read in pages, so any number of rows streams through.
void write_history_csv(std::ostream& out, const JournalReader& reader, const HistoryFilter& filter,
                       HistoryOrder order);

}  // namespace ordano
