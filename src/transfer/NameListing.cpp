// SPDX-License-Identifier: Apache-2.0
#include "transfer/NameListing.h"

namespace ordano {

bool NameListing::add(std::string_view bytes) {
    total_ += bytes.size();
    if (too_long()) {
        return false;
    }
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const auto piece = bytes.substr(0, end);
        if (!overlong_) {
            partial_.append(piece);
            if (partial_.size() > kMaxLineBytes) {
                overlong_ = true;
                partial_.clear();
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!overlong_) {
            take_line(partial_);
        }
        partial_.clear();
        overlong_ = false;
        bytes.remove_prefix(end + 1);
    }
    return true;
}

std::vector<std::string> NameListing::finish() {
    if (!overlong_) {
        take_line(partial_);
    }
    partial_.clear();
    overlong_ = false;
    return std::move(names_);
}

void NameListing::take_line(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (const auto slash = line.rfind('/'); slash != std::string_view::npos) {
        line.remove_prefix(slash + 1);
    }
    if (line.empty()) {
        return;
    }
    if (!any_ || !wanted_ || wanted_(line)) {
        names_.emplace_back(line);
    }
    any_ = true;
}

}  // namespace ordano
