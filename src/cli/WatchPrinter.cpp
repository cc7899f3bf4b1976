// SPDX-License-Identifier: Apache-2.0
#include "cli/WatchPrinter.h"

#include <ostream>
#include <sstream>
#include <string>

#include "base/TimeStamps.h"
#include "cli/JsonWriter.h"

namespace ordano::cli {
namespace {

using Kind = WatchEvent::Kind;

const char* json_name(Kind kind) {
    switch (kind) {
        case Kind::Sent:
            return "sent";
        case Kind::Answer:
            return "answer";
        case Kind::Overdue:
            return "overdue";
        case Kind::Failure:
            return "failure";
        case Kind::Reconnected:
            return "reconnected";
        case Kind::Left:
            break;
    }
    return "left";
}

// A line of words stays one line, whatever line breaks a message carried.
std::string one_line(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

void WatchPrinter::operator()(const WatchEvent& event) const {
    if (json_) {
        json(event);
    } else {
        words(event);
    }
    out_.flush();  // a log read as it grows
}

std::string event_words(const WatchEvent& event) {
    std::ostringstream out;
    switch (event.kind) {
        case Kind::Sent:
            out << "enviado " << event.file << " a " << event.folder;
            break;
        case Kind::Answer:
            out << "respuesta " << event.answer << " de " << event.file << ": " << event.outcome
                << " (" << event.path << ")";
            break;
        case Kind::Overdue:
            out << "atrasado " << event.file;
            break;
        case Kind::Failure:
            out << "falla " << event.number;
            if (!event.file.empty()) {
                out << ' ' << event.file;
            }
            out << ": " << one_line(event.text);
            if (event.file.empty()) {
                out << "; se reintenta en " << event.retry_in.count() << " s";
            }
            break;
        case Kind::Reconnected:
            out << "conexión restablecida";
            break;
        case Kind::Left:
            out << "sin enviar " << event.file << ": " << event.text;
            break;
    }
    return out.str();
}

void WatchPrinter::words(const WatchEvent& event) const {
    out_ << iso_timestamp(event.at) << ' ' << event_words(event) << '\n';
}

void WatchPrinter::json(const WatchEvent& event) const {
    JsonWriter json(out_);
    json.begin_object().member("event", json_name(event.kind));
    json.member("at", iso_timestamp(event.at));
    if (!event.file.empty()) {
        json.member("file", event.file);
    }
    switch (event.kind) {
        case Kind::Sent:
            json.member("remote_folder", event.folder);
            break;
        case Kind::Answer:
            json.member("answer", event.answer)
                .member("outcome", event.outcome)
                .member("stored_path", event.path);
            break;
        case Kind::Failure:
            json.member("number", event.number).member("text", event.text);
            if (event.file.empty()) {
                json.member("retry_in", static_cast<std::int64_t>(event.retry_in.count()));
            }
            break;
        case Kind::Left:
            json.member("reason", event.text);
            break;
        case Kind::Overdue:
        case Kind::Reconnected:
            break;
    }
    json.end_object();
}

}  // namespace ordano::cli
