// SPDX-License-Identifier: Apache-2.0
#include "office/WorkingFiles.h"

#include <charconv>
#include <optional>
#include <random>
#include <sstream>
#include <string_view>

#include "platform/ProcessId.h"

namespace ordano {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolderPrefix = "proceso-";
constexpr std::string_view kPartMark = ".part-";

// The digits at the start of `text`, as a process id; none when there are none.
std::optional<long> leading_pid(std::string_view text, std::string_view rest_must_start) {
    long pid = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, pid);
    if (ec != std::errc() || ptr == text.data()) {
        return std::nullopt;
    }
    const std::string_view rest(ptr, static_cast<std::size_t>(end - ptr));
    if (rest.substr(0, rest_must_start.size()) != rest_must_start) {
        return std::nullopt;
    }
    return pid;
}

// The process that made a working file or folder, when the name is one of Ordano's.
std::optional<long> maker_of(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    std::error_code ec;
    if (entry.is_directory(ec)) {
        if (name.rfind(kFolderPrefix, 0) != 0) {
            return std::nullopt;
        }
        const auto pid = leading_pid(std::string_view(name).substr(kFolderPrefix.size()), "");
        // Nothing may follow the digits of a folder's name.
        return pid && name.size() == kFolderPrefix.size() + std::to_string(*pid).size()
                   ? pid
                   : std::nullopt;
    }
    const auto mark = name.rfind(kPartMark);
    if (mark == std::string::npos) {
        return std::nullopt;
    }
    return leading_pid(std::string_view(name).substr(mark + kPartMark.size()), "-");
}

void sweep(const fs::path& folder) noexcept {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto pid = maker_of(*it);
        if (!pid || *pid == current_process_id() || process_running(*pid)) {
            continue;
        }
        std::error_code ignored;
        fs::remove_all(it->path(), ignored);
    }
}

}  // namespace

std::string process_folder_name(long pid) {
    return std::string(kFolderPrefix) + std::to_string(pid);
}

std::string part_file_name(const std::string& name) {
    std::random_device device;
    std::ostringstream out;
    out << name << kPartMark << current_process_id() << '-' << std::hex << device();
    return out.str();
}

void remove_stale_working_files(const Paths& paths) noexcept {
    sweep(paths.work_folder.parent_path());
    sweep(paths.drive_root);
}

}  // namespace ordano
