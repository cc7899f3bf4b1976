// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>
#include <vector>

#include "office/JournalQuery.h"

namespace ordano::cli {

class JsonWriter;

// One journal entry as JSON, with the field names the README documents.
void write_journal_record(JsonWriter& json, const JournalRecord& record);

// The entries as one bare JSON array ("[]" when there are none).
void print_records_json(std::ostream& out, const std::vector<JournalRecord>& records);

// The entries as a table for people: date and time, file, kind, status, answers.
void print_records_table(std::ostream& out, const std::vector<JournalRecord>& records);

// One line on `err` for each entry whose row is damaged, naming it and why.
void warn_damaged(std::ostream& err, const std::vector<JournalRecord>& records);

}  // namespace ordano::cli
