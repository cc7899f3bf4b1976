// SPDX-License-Identifier: Apache-2.0
#include "transfer/AnswerListings.h"

#include <algorithm>

namespace ordano {
namespace {

std::string folded(std::string_view name) {
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

}  // namespace

void AnswerListings::begin_tick(std::string_view server) {
    tick_.clear();
    if (server != server_) {
        server_ = std::string(server);
        unlisted_.clear();
        trusted_.clear();
        probe_turn_.clear();
    }
}

bool AnswerListings::wants_listing(const std::string& folder) const {
    return !unlisted_.contains(folder) && !tick_.contains(folder);
}

void AnswerListings::listed(const std::string& folder, const std::vector<std::string>& names,
                            const std::vector<std::string>& awaited) {
    Listing& listing = tick_[folder];
    for (const auto& name : names) {
        listing.names.insert(name);
        listing.by_folded_case.try_emplace(folded(name), name);
    }
    if (!names.empty()) {
        trusted_.insert(folder);
    } else if (!trusted_.contains(folder) && !awaited.empty()) {
        listing.probe = awaited[probe_turn_[folder]++ % awaited.size()];
    }
}

void AnswerListings::refused(const std::string& folder) {
    unlisted_.insert(folder);
    tick_.erase(folder);
}

std::optional<std::string> AnswerListings::remote_name(const std::string& folder,
                                                       const std::string& name) const {
    const auto found = tick_.find(folder);
    if (found == tick_.end()) {
        return name;  // not listed: tried by name
    }
    const Listing& listing = found->second;
    if (listing.names.contains(name) || name == listing.probe) {
        return name;
    }
    if (const auto other = listing.by_folded_case.find(folded(name));
        other != listing.by_folded_case.end()) {
        return other->second;
    }
    return std::nullopt;
}

void AnswerListings::fetched(const std::string& folder) {
    const auto found = tick_.find(folder);
    if (found != tick_.end() && found->second.names.empty()) {
        refused(folder);  // the listing said empty, yet the folder held an answer
    }
}

}  // namespace ordano
