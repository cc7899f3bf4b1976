// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ordano {

// The names of an NLST reply, read as it arrives: one a line, some servers prefixing the folder
// they listed. Only the names `wanted` says may matter are kept (all of them without it), and
// the first name listed, so that a listing of other names is still told from an empty one: a
// server may list a folder of millions of names, and nothing else of it is of use. A listing
// longer than kMaxBytes is refused.
class NameListing {
public:
    using Wanted = std::function<bool(std::string_view name)>;

    static constexpr std::size_t kMaxBytes = 64 * 1024 * 1024;
    // No file name is this long: a longer line is no name and is not kept whole meanwhile.
    static constexpr std::size_t kMaxLineBytes = 4096;

    explicit NameListing(Wanted wanted = {}) : wanted_(std::move(wanted)) {}

    // Forgets what was read: the listing is asked for again.
    void restart() { *this = NameListing(std::move(wanted_)); }
    // The next bytes of the reply; false once the listing has grown past kMaxBytes.
    bool add(std::string_view bytes);
    [[nodiscard]] bool too_long() const { return total_ > kMaxBytes; }
    // The names kept, in the order listed, once the reply has ended (a last line without a
    // line end counts).
    [[nodiscard]] std::vector<std::string> finish();

private:
    void take_line(std::string_view line);

    Wanted wanted_;
    std::string partial_;    // of a line not yet ended
    bool overlong_ = false;  // the line under way is past kMaxLineBytes
    std::size_t total_ = 0;
    bool any_ = false;
    std::vector<std::string> names_;
};

}  // namespace ordano
