// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <set>

#include "base/Errors.h"
#include "cli/Commands.h"
#include "cli/JournalListing.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Office.h"
#include "office/OwedJournal.h"

namespace ordano::cli {
namespace {

std::chrono::year_month_day parse_day(const std::string& option, const std::string& text) {
    try {
        if (text.size() == 10) {
            return parse_iso_date(text);
        }
    } catch (const FormatError&) {
    }
    throw UsageError(option + " espera una fecha AAAA-MM-DD: " + text);
}

// "en envío", "en envio" and "en-envio" all name the same status.
std::string plain(std::string text) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kAccents = {{
        {"í", "i"},
        {"ó", "o"},
        {"á", "a"},
    }};
    for (const auto& [accented, bare] : kAccents) {
        for (auto at = text.find(accented); at != std::string::npos; at = text.find(accented)) {
            text.replace(at, accented.size(), bare);
        }
    }
    std::replace(text.begin(), text.end(), '-', ' ');
    return text;
}

JourneyStatus parse_status(const std::string& text) {
    for (const JourneyStatus status : all_statuses()) {
        if (plain(std::string(status_text(status))) == plain(text)) {
            return status;
        }
    }
    std::string known;
    for (const JourneyStatus status : all_statuses()) {
        known += (known.empty() ? "" : ", ") + std::string(status_text(status));
    }
    throw UsageError("--status espera uno de: " + known + "; no " + text);
}

// Reads the journal of the office alongside whatever else runs on it. A history ends with
// its summary; a list of pending files says so when it is empty.
int list_journal(const Invocation& invocation, const HistoryFilter& filter, bool json) {
    const SystemClock clock;
    const auto office = Office::open_to_read(invocation.paths, clock);
    Journal& journal = office->journal();
    journal.flush();
    // Writes an ended program kept beside the database are shown as what they are.
    std::set<std::int64_t> owed_rows;
    std::vector<std::string> notices;
    const auto with_kept = journal.with_kept_writes(owed_rows, notices);
    for (const std::string& notice : notices) {
        std::cerr << notice << "\n";
    }
    const JournalReader reader(with_kept ? *with_kept : journal.database(), clock.now(),
                               overdue_minutes(office->params()));
    std::vector<JournalRecord> records = reader.records(filter, {HistoryColumn::Moment, false});
    bool owed = false;
    for (JournalRecord& record : records) {
        record.owed = owed_rows.contains(record.id);
        owed = owed || record.owed;
    }
    warn_damaged(std::cerr, records);
    if (json) {
        print_records_json(std::cout, records);
    } else if (filter.awaiting_only && records.empty()) {
        std::cout << "No hay archivos en espera de respuesta.\n";
    } else {
        print_records_table(std::cout, records);
        if (owed) {
            std::cout << "* Aún no está en la base de datos de la oficina: se anotará desde "
                      << owed_journal_file(journal.file()).string()
                      << " cuando un programa de Ordano la abra.\n";
        }
        if (!filter.awaiting_only) {
            std::cout << reader.summary(filter).text() << "\n";
        }
    }
    return kExitSuccess;
}

}  // namespace

int history_command(const Invocation& invocation) {
    const ParsedArgs& options = invocation.args;
    reject_operands(options);
    HistoryFilter filter;
    if (const auto since = options.value("--since")) {
        filter.since = parse_day("--since", *since);
    }
    if (const auto until = options.value("--until")) {
        filter.until = parse_day("--until", *until);
    }
    if (const auto status = options.value("--status")) {
        filter.status = parse_status(*status);
    }
    return list_journal(invocation, filter, options.has("--json"));
}

int pending_command(const Invocation& invocation) {
    reject_operands(invocation.args);
    HistoryFilter filter;
    filter.awaiting_only = true;
    return list_journal(invocation, filter, invocation.args.has("--json"));
}

}  // namespace ordano::cli
