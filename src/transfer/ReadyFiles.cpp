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

// The kind letters whose send folder is `folder`.
std::string kinds_of(const std::string& folder, const LocalFolders& folders) {
    std::string kinds;
    for (const char kind : {'M', 'C', 'D', 'E', 'S'}) {
        if (typed_name_folder(std::string(1, kind), folders) == folder) {
            kinds += kind;
        }
    }
    return kinds;
}

// Files of `folder` that belong there by their kind and carry today's julian day.
void look_at_folder(const std::string& folder, const LocalFolders& folders, int julian_day,
                    FolderLook& look) {
    const std::string kinds = kinds_of(folder, folders);
    const fs::path path = path_in_folder(folder, "");
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::string on_disk = shown_path(it->path().filename());
        if (julian_day_of(on_disk) != julian_day ||
            kinds.find(kind_letter(on_disk)) == std::string::npos) {
            continue;
        }
        // A file gone since it was listed, or not a file, is left to the next look.
        if (const auto state = file_state(it->path())) {
            look.files.push_back({upper_case_name(on_disk), it->path(), *state});
        }
    }
    if (ec) {
        look.failures.emplace_back(folder, local_failure(path, ec));
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
    std::unordered_map<std::string, FileState> now;
    now.reserve(files.size());
    for (const FolderFile& file : files) {
        now.emplace(file.name, file.state);
        const auto before = previous_.find(file.name);
        if (before == previous_.end() || before->second != file.state) {
            continue;  // new or still changing
        }
        const auto settled = settled_.find(file.name);
        if (settled != settled_.end() && settled->second == file.state) {
            continue;
        }
        const auto sent = last_sent(file);
        try {
            const std::string sha256 = digest_file(file.path, stop_).sha256;
            if (sent && *sent == sha256) {
                settled_.insert_or_assign(file.name, file.state);
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
    settled_.insert_or_assign(file.name, file.state);
}

std::optional<std::string> ReadyFiles::last_sent(const FolderFile& file) const {
    if (const auto it = sent_.find(file.name); it != sent_.end()) {
        return it->second;
    }
    return last_sent_(file);
}

}  // namespace ordano
