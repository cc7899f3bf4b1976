// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <string>

#include "base/DateTime.h"

namespace ordano {

// What an unattended watch tells as it happens, one event at a time.
struct WatchEvent {
    enum class Kind {
        Sent,         // file, folder: the remote folder it went into
        Answer,       // file (the sent file), answer, outcome, path: where it was stored
        Overdue,      // file: its answers are awaited longer than the office's limit
        Failure,      // number, text, and file (or send folder), or none when the server
                      // cannot be reached (retry_in: when it is tried again)
        Reconnected,  // the server answers again after a failure without file
        Left,         // file, text: why it is left unsent
    };

    Kind kind = Kind::Sent;
    LocalDateTime at{};
    std::string file;
    std::string answer;
    std::string outcome;  // "prevalidado", "aceptado", "rechazado" or "error" (unreadable)
    std::string folder;
    std::string path;
    int number = 0;
    std::string text;
    std::chrono::seconds retry_in{0};
};

}  // namespace ordano
