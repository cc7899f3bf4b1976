// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ordano {
struct ReceiveRow;
}

namespace ordano::cli {

// What became of each file that send or receive named, for --json.
struct FileOutcome {
    struct Answer {
        std::string name;
        std::string path;  // where it is stored once it comes (absolute)
    };

    std::string name;
    std::optional<std::string> remote_folder;  // the server's input folder of its kind
    bool done = false;                         // sent / handed to reception
    std::string reason;                        // why not, when not done
    int status = 0;                            // the exit status of that cause
    std::vector<Answer> answers;
};

// The answers a receive-list row awaits, each with the path it is stored at.
[[nodiscard]] std::vector<FileOutcome::Answer> answers_of(const ReceiveRow& row,
                                                          std::string_view val_rec);

// The JSON document of a send or receive: {"command", "status", "files": [{"file", "kind",
// "remote_folder", "done", "reason", "status", "answers": [{"name", "path"}]}]}; an answer
// not among `stored` has the path "missing".
void write_transfer_json(std::ostream& out, std::string_view command, int status,
                         const std::vector<FileOutcome>& files,
                         const std::set<std::string>& stored);

}  // namespace ordano::cli
