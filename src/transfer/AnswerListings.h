// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ordano {

// What the reception knows of the names in the server's answer folders: this tick's listing
// of each folder, and, for as long as the server stays the same, the folders whose listing
// cannot be trusted (refused, or empty while an answer was there), where every answer is
// tried by name as if no listing existed.
//
// An empty listing of a folder that has never listed a name may come from a server that hides
// what it holds: that tick, one awaited answer of the folder (a different one each tick) is
// still tried by name, and finding it there stops the listing of that folder.
class AnswerListings {
public:
    // Forgets the last tick's listings; forgets everything learned when the server changed.
    void begin_tick(std::string_view server);
    [[nodiscard]] bool wants_listing(const std::string& folder) const;
    // The folder's listing for this tick; `awaited` are the answers the tick looks for in it.
    void listed(const std::string& folder, const std::vector<std::string>& names,
                const std::vector<std::string>& awaited);
    // The server refused to list the folder: its answers are tried by name from now on.
    void refused(const std::string& folder);
    // The name to download an awaited answer under (the server's spelling), or nothing when
    // the listing shows that the answer is not there yet.
    [[nodiscard]] std::optional<std::string> remote_name(const std::string& folder,
                                                         const std::string& name) const;
    // A download from the folder succeeded.
    void fetched(const std::string& folder);

private:
    struct Listing {
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> by_folded_case;  // first spelling listed
        std::string probe;  // of an empty listing not yet trusted: the answer tried anyway
    };

    std::string server_;
    std::set<std::string> unlisted_;  // folders whose answers are tried by name
    std::set<std::string> trusted_;   // folders that have listed names: an empty listing holds
    std::map<std::string, std::size_t> probe_turn_;
    std::map<std::string, Listing> tick_;
};

}  // namespace ordano
