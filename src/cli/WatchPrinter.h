// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>

#include "transfer/WatchEvent.h"

namespace ordano::cli {

// The events of `ordano-cli watch` on standard output as they happen, one line each: in
// words, or with --json one JSON object per line (fields in the README).
class WatchPrinter {
public:
    WatchPrinter(std::ostream& out, bool json) : out_(out), json_(json) {}

    void operator()(const WatchEvent& event) const;

private:
    void words(const WatchEvent& event) const;
    void json(const WatchEvent& event) const;

    std::ostream& out_;
    bool json_;
};

}  // namespace ordano::cli
