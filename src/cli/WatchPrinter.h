// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>
#include <string>

#include "transfer/WatchEvent.h"

namespace ordano::cli {

// An event in words, as its line says it after the time: "enviado M0015001.033 a /valin".
[[nodiscard]] std::string event_words(const WatchEvent& event);

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
