// SPDX-License-Identifier: Apache-2.0
#include "cli/TransferReport.h"

#include <filesystem>

#include "cli/JsonWriter.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"

namespace ordano::cli {

std::vector<FileOutcome::Answer> answers_of(const ReceiveRow& row, std::string_view val_rec) {
    namespace fs = std::filesystem;
    std::vector<FileOutcome::Answer> answers;
    if (!row.archivo_prev.empty()) {
        answers.push_back({row.archivo_prev, (fs::path(val_rec) / row.archivo_prev).string()});
    }
    answers.push_back({row.archivo_val, (fs::path(row.ruta_dest) / row.archivo_val).string()});
    return answers;
}

void write_transfer_json(std::ostream& out, std::string_view command, int status,
                         const std::vector<FileOutcome>& files,
                         const std::set<std::string>& stored) {
    JsonWriter json(out);
    json.begin_object().member("command", command).member("status", status);
    json.key("files").begin_array();
    for (const FileOutcome& file : files) {
        json.begin_object()
            .member("file", file.name)
            .member("kind", std::string(1, kind_letter(file.name)));
        json.key("remote_folder");
        file.remote_folder ? json.value(*file.remote_folder) : json.null();
        json.member("done", file.done);
        json.key("reason");
        file.done ? json.null() : json.value(file.reason);
        json.member("status", file.status);
        json.key("answers").begin_array();
        for (const auto& answer : file.answers) {
            json.begin_object()
                .member("name", answer.name)
                .member("path", stored.contains(answer.path) ? answer.path : "missing")
                .end_object();
        }
        json.end_array().end_object();
    }
    json.end_array().end_object();
}

}  // namespace ordano::cli
