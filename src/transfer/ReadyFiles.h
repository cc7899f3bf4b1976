// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/Errors.h"
#include "platform/FileState.h"

namespace ordano {

struct LocalFolders;

// A file to send as one look at its send folder found it.
struct FolderFile {
    std::string name;            // as the send list takes it (upper case)
    std::filesystem::path path;  // the file itself, as it is spelt on disk
    FileState state;             // its size and time of writing
};

// One look at the send folders.
struct FolderLook {
    std::vector<FolderFile> files;
    std::vector<std::pair<std::string, NumberedError>> failures;  // a folder that cannot be read
    // Names that differ only in letter case in one folder, as spelt on disk: which of them the
    // office means cannot be told, so none of them goes.
    std::vector<std::vector<std::string>> clashes;
};

// Today's files in the send folders: regular files of a kind that is sent (M, C and D in the
// SAAI M3 folder, E in the payment folder, S in the SAGARPA folder) whose last three
// characters are today's julian day. A folder shared by several kinds is read once. Names of
// files still being written by the usual means (ending in ".tmp" or ".part", starting with
// "~") are never taken.
[[nodiscard]] FolderLook look_at_send_folders(const LocalFolders& folders, int julian_day);

// A file that is ready to go, with the SHA-256 of the bytes it held when it was judged.
struct ReadyFile {
    FolderFile file;
    std::string sha256;
};

struct ReadyLook {
    std::vector<ReadyFile> ready;
    std::vector<std::pair<std::string, NumberedError>> failures;  // a file that cannot be read
};

// Decides which files of the send folders go out: a file has settled (the same size, times of
// writing and of change, and the same file, at every look for at least the settle time, so
// one still being written, or replaced, is never sent half written), and its bytes are not
// those last sent under its name (a file is sent again only when its bytes changed). A file
// judged already sent is not read again until its state changes, so a look over thousands of
// files sent earlier reads none of them.
class ReadyFiles {
public:
    using Clock = std::chrono::steady_clock;
    // The SHA-256 last sent under a file's name (the journal's), nullopt when never sent.
    using LastSent = std::function<std::optional<std::string>(const FolderFile&)>;

    // With a settle time of 0 a file is ready at the second look that finds it unchanged. A
    // stop requested on `stop` ends a look at once, with RunStopped, even in the middle of
    // reading a large file.
    ReadyFiles(LastSent last_sent, Clock::duration settle, std::stop_token stop = {})
        : last_sent_(std::move(last_sent)), settle_(settle), stop_(std::move(stop)) {}

    [[nodiscard]] ReadyLook look(const std::vector<FolderFile>& files,
                                 Clock::time_point now = Clock::now());
    // The file went out with these bytes (known before the journal has written it).
    void sent(const FolderFile& file, const std::string& sha256);

private:
    [[nodiscard]] std::optional<std::string> last_sent(const FolderFile& file) const;

    struct Seen {
        FileState state;
        Clock::time_point since;  // first seen in this state
    };

    LastSent last_sent_;
    Clock::duration settle_;
    std::stop_token stop_;
    std::unordered_map<std::string, Seen> previous_;      // the last look, by name
    std::unordered_map<std::string, FileState> settled_;  // judged already sent in this state
    std::map<std::string, std::string> sent_;             // sent by this run: name -> SHA-256
};

}  // namespace ordano
