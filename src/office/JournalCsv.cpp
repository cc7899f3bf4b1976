// SPDX-License-Identifier: Apache-2.0
#include "office/JournalCsv.h"

#include <algorithm>
#include <ostream>

namespace ordano {
namespace {

constexpr std::int64_t kPage = 1000;

std::string field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace

void write_history_csv(std::ostream& out, const JournalReader& reader, const HistoryFilter& filter,
                       HistoryOrder order) {
    out << "\xEF\xBB\xBF"
        << "Fecha y hora,Archivo,Tipo,Estado,Respuestas\r\n";
    for (std::int64_t offset = 0;; offset += kPage) {
        const std::vector<JournalRecord> page = reader.rows(filter, order, offset, kPage);
        for (const JournalRecord& r : page) {
            std::string moment = r.moment;
            std::replace(moment.begin(), moment.end(), 'T', ' ');
            out << field(moment) << ',' << field(r.file) << ',' << field(r.kind) << ','
                << field(r.status) << ',' << field(r.answers_text()) << "\r\n";
        }
        if (static_cast<std::int64_t>(page.size()) < kPage) {
            return;
        }
    }
}

}  // namespace ordano
