// SPDX-License-Identifier: Apache-2.0
#include "cli/JournalListing.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "cli/JsonWriter.h"

namespace ordano::cli {
namespace {

// Members that say nothing when empty are left out.
void member_if(JsonWriter& json, std::string_view name, const std::string& text) {
    if (!text.empty()) {
        json.member(name, text);
    }
}

void write_answer(JsonWriter& json, const AnswerRecord& answer) {
    json.begin_object();
    json.member("role", answer.role == AnswerRole::Prevalidation ? "prevalidation" : "validation");
    json.member("name", answer.name);
    member_if(json, "remote_folder", answer.remote_folder);
    member_if(json, "received_at", answer.received_at);
    member_if(json, "stored_path", answer.stored_path);
    json.end_object();
}

// Characters, not bytes, so that accented texts line up.
std::size_t width_of(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string padded(const std::string& text, std::size_t width) {
    const std::size_t shown = width_of(text);
    return text + std::string(shown < width ? width - shown : 0, ' ');
}

std::string readable_time(std::string iso) {
    std::replace(iso.begin(), iso.end(), 'T', ' ');
    return iso;
}

}  // namespace

void write_journal_record(JsonWriter& json, const JournalRecord& r) {
    json.begin_object();
    json.member("id", r.id);
    json.member("file", r.file);
    json.member("kind", r.kind);
    json.member("status", r.status);
    member_if(json, "listed_at", r.listed_at);
    member_if(json, "sent_at", r.sent_at);
    member_if(json, "remote_folder", r.remote_folder);
    member_if(json, "local_path", r.local_path);
    if (r.size) {
        json.member("size", *r.size);
    }
    member_if(json, "sha256", r.sha256);
    member_if(json, "upload_way", r.upload_way);
    json.member("awaiting", r.awaiting);
    member_if(json, "awaiting_since", r.awaiting_since);
    json.key("answers").begin_array();
    for (const AnswerRecord& answer : r.answers) {
        write_answer(json, answer);
    }
    json.end_array();
    json.key("failures").begin_array();
    for (const FailureRecord& failure : r.failures) {
        json.begin_object()
            .member("number", failure.number)
            .member("text", failure.text)
            .member("at", failure.at)
            .end_object();
    }
    json.end_array();
    member_if(json, "damage", r.damage);
    if (r.owed) {
        json.member("owed", true);
    }
    json.end_object();
}

void print_records_json(std::ostream& out, const std::vector<JournalRecord>& records) {
    JsonWriter json(out);
    json.begin_array();
    for (const JournalRecord& record : records) {
        write_journal_record(json, record);
    }
    json.end_array();
}

void print_records_table(std::ostream& out, const std::vector<JournalRecord>& records) {
    std::size_t file_width = width_of("Archivo");
    std::size_t status_width = width_of("prevalidado");
    for (const JournalRecord& r : records) {
        file_width = std::max(file_width, width_of(r.file));
        status_width = std::max(status_width, width_of(r.status) + (r.owed ? 1 : 0));
    }
    out << padded("Fecha y hora", 21) << padded("Archivo", file_width + 2) << "Tipo  "
        << padded("Estado", status_width + 2) << "Respuestas\n";
    for (const JournalRecord& r : records) {
        out << padded(readable_time(r.moment), 21) << padded(r.file, file_width + 2)
            << padded(r.kind, 6) << padded(r.status + (r.owed ? "*" : ""), status_width + 2)
            << r.answers_text() << "\n";
    }
}

void warn_damaged(std::ostream& err, const std::vector<JournalRecord>& records) {
    for (const JournalRecord& r : records) {
        if (!r.damage.empty()) {
            err << "Registro " << r.id << " de la bitácora dañado: " << r.damage
                << "; se muestra como está.\n";
        }
    }
}

}  // namespace ordano::cli
