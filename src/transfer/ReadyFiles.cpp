#include "transfer/ReadyFiles.h"

#include <set>

#include "store/FileNames.h"
#include "store/LocalFailure.h"
#include "store/Session.h"
#include "store/Sha256.h"
#include "transfer/Routing.h"
#include "transfer/TypedFile.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;

// Files of `folder` that belong there by their kind and carry today's julian day.
void look_at_folder(const std::string& folder, const LocalFolders& folders, int julian_day,
                    FolderLook& look) {
    const fs::path path = path_in_folder(folder, "");
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::string name = upper_case_name(shown_path(it->path().filename()));
        if (typed_name_folder(name, folders) != folder || julian_day_of(name) != julian_day) {
            continue;
        }
        std::error_code file_ec;
        if (!it->is_regular_file(file_ec)) {
            continue;
        }
        FolderFile file{name, it->path(), it->file_size(file_ec), it->last_write_time(file_ec)};
        if (!file_ec) {  // gone since it was listed: the next look tells
            look.files.push_back(std::move(file));
        }
    }
    if (ec) {
        look.failures.push_back(local_failure(path, ec));
    }
}

}  // namespace

FolderLook look_at_send_folders(const LocalFolders& folders, int julian_day) {
    FolderLook look;
    std::set<std::string> seen;
    for (const std::string* folder : {&folders.val_env, &folders.pag_env, &folders.sag_env}) {
        if (!folder->empty() && seen.insert(*folder).second) {
            look_at_folder(*folder, folders, julian_day, look);
        }
    }
    return look;
}

ReadyLook ReadyFiles::look(const std::vector<FolderFile>& files) {
    ReadyLook out;
    std::map<std::string, FolderFile> now;
    for (const FolderFile& file : files) {
        now.emplace(file.name, file);
        const auto before = previous_.find(file.name);
        if (before == previous_.end() || !before->second.same_state(file)) {
            continue;  // new or still changing
        }
        const auto settled = settled_.find(file.name);
        if (settled != settled_.end() && settled->second.same_state(file)) {
            continue;
        }
        const auto sent = last_sent(file);
        try {
            const std::string sha256 = digest_file(file.path).sha256;
            if (sent && *sent == sha256) {
                settled_.insert_or_assign(file.name, file);
                continue;
            }
            out.ready.push_back({file, sha256});
        } catch (const NumberedError& error) {
            out.failures.emplace_back(file.name, error);
        }
    }
    // What is no longer there is forgotten: the memory follows the folders.
    std::erase_if(settled_, [&now](const auto& entry) { return !now.contains(entry.first); });
    std::erase_if(sent_, [&now](const auto& entry) { return !now.contains(entry.first); });
    previous_ = std::move(now);
    return out;
}

void ReadyFiles::sent(const FolderFile& file, const std::string& sha256) {
    sent_.insert_or_assign(file.name, sha256);
    settled_.insert_or_assign(file.name, file);
}

std::optional<std::string> ReadyFiles::last_sent(const FolderFile& file) const {
    if (const auto it = sent_.find(file.name); it != sent_.end()) {
        return it->second;
    }
    return last_sent_(file);
}

}  // namespace ordano
