// SPDX-License-Identifier: Apache-2.0
#include "transfer/ReadyFiles.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/FileNames.h"
#include "base/LocalFailure.h"
#include "base/Sha256.h"
#include "office/Session.h"
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

// A name programs give a file while they write it.
bool temporary_name(const std::string& upper) {
    return upper.starts_with('~') || upper.ends_with(".TMP") || upper.ends_with(".PART");
}

// Takes out of `files` (from `first` on) the names that differ only in letter case, into
// `clashes`.
void set_clashes_aside(std::vector<FolderFile>& files, std::size_t first,
                       std::vector<std::vector<std::string>>& clashes) {
    std::map<std::string, std::vector<std::string>> spellings;
    for (std::size_t i = first; i < files.size(); ++i) {
        spellings[files[i].name].push_back(shown_path(files[i].path.filename()));
    }
    std::set<std::string> clashing;
    for (auto& [name, on_disk] : spellings) {
        if (on_disk.size() > 1) {
            clashing.insert(name);
            std::ranges::sort(on_disk);
            clashes.push_back(std::move(on_disk));
        }
    }
    std::erase_if(files,
                  [&clashing](const FolderFile& file) { return clashing.contains(file.name); });
}

// Files of `folder` that belong there by their kind and carry today's julian day.
void look_at_folder(const std::string& folder, const LocalFolders& folders, int julian_day,
                    FolderLook& look) {
    const std::string kinds = kinds_of(folder, folders);
    const fs::path path = path_in_folder(folder, "");
    const std::size_t first = look.files.size();
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::string on_disk = shown_path(it->path().filename());
        const std::string name = upper_case_name(on_disk);
        if (temporary_name(name) || julian_day_of(on_disk) != julian_day ||
            kinds.find(kind_letter(on_disk)) == std::string::npos) {
            continue;
        }
        // A file gone since it was listed, or not a file, is left to the next look.
        if (const auto state = file_state(it->path())) {
            look.files.push_back({name, it->path(), *state});
        }
    }
    if (ec) {
        look.failures.emplace_back(folder, local_failure(path, ec));
    }
    set_clashes_aside(look.files, first, look.clashes);
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

ReadyLook ReadyFiles::look(const std::vector<FolderFile>& files, Clock::time_point now) {
    ReadyLook out;
    std::unordered_map<std::string, Seen> seen;
    seen.reserve(files.size());
    for (const FolderFile& file : files) {
        const auto before = previous_.find(file.name);
        const bool same = before != previous_.end() && before->second.state == file.state;
        const Clock::time_point since = same ? before->second.since : now;
        seen.emplace(file.name, Seen{file.state, since});
        if (!same || now - since < settle_) {
            continue;  // new, still changing, or not still for long enough
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
    std::erase_if(settled_, [&seen](const auto& entry) { return !seen.contains(entry.first); });
    std::erase_if(sent_, [&seen](const auto& entry) { return !seen.contains(entry.first); });
    previous_ = std::move(seen);
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
