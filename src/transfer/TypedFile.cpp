// SPDX-License-Identifier: Apache-2.0
#include "transfer/TypedFile.h"

#include "base/FileNames.h"
#include "office/Session.h"
#include "transfer/FileIcon.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"

namespace ordano {

std::optional<std::string> typed_name_folder(std::string_view name, const LocalFolders& folders) {
    switch (kind_letter(name)) {
        case 'M':
        case 'C':
        case 'D':
            return folders.val_env;
        case 'E':
            return folders.pag_env;
        case 'S':
            return folders.sag_env;
        default:
            return std::nullopt;
    }
}

TypedFileOutcome add_typed_file(SendList& send, const LocalFolders& folders,
                                std::string_view typed) {
    const auto folder = typed_name_folder(typed, folders);
    if (!folder || folder->empty()) {
        return TypedFileOutcome::Missing;
    }
    const auto found = find_file_ignoring_case(path_in_folder(*folder, ""), typed);
    if (!found) {
        return TypedFileOutcome::Missing;
    }
    const std::string name = upper_case_name(typed);
    if (send.has_pending(name)) {
        return TypedFileOutcome::AlreadyListed;
    }
    SendRow row;
    row.text = name;
    row.status = std::string(send_status::kPending);
    // The icon reads the file as it is named on disk (a payment file's code).
    row.small_icon = icon_for_file(shown_path(found->filename()), found->parent_path());
    row.ruta_pre = answer_folder(1, name);
    row.ruta_val = answer_folder(2, name);
    send.set_current_row(send.append(std::move(row)));
    return TypedFileOutcome::Added;
}

}  // namespace ordano
