// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ordano::cli {

// A usage error: the command line itself is wrong (exit status 2). The text names what is
// wrong: the option, the value or the argument.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option a command takes, with its line of help.
struct OptionSpec {
    std::string_view name;        // "--wait"
    std::string_view short_name;  // "-q", or empty
    std::string_view value;       // the value's placeholder ("SEGUNDOS"); empty for a flag
    std::string_view help;
};

// A command line read against the options it may hold.
class ParsedArgs {
public:
    // Whether the option (its long name) was given.
    [[nodiscard]] bool has(std::string_view name) const;
    // The value of an option that takes one, the last given; nullopt when it was not given.
    [[nodiscard]] std::optional<std::string> value(std::string_view name) const;
    // As value(), UsageError when the option is missing.
    [[nodiscard]] std::string required(std::string_view name) const;
    // The arguments that are not options, in order.
    [[nodiscard]] const std::vector<std::string>& operands() const { return operands_; }
    // The arguments left unread when the reading stopped at the first operand.
    [[nodiscard]] const std::vector<std::string>& rest() const { return rest_; }

private:
    friend ParsedArgs parse_args(std::span<const std::string>,
                                 std::initializer_list<std::span<const OptionSpec>>, bool);
    std::map<std::string, std::optional<std::string>, std::less<>> given_;
    std::vector<std::string> operands_;
    std::vector<std::string> rest_;
};

// UsageError naming the first operand, for a command that takes none.
void reject_operands(const ParsedArgs& args);

// An option's whole number of seconds, at least `minimum`; UsageError(complaint + text) otherwise.
[[nodiscard]] std::chrono::seconds seconds_value(const std::string& text, int minimum,
                                                 std::string_view complaint);

// Reads arguments the conventional way: "--name=value" and "--name value", "-x" for an option
// with a short name, "--" ends the options (what follows is operands, even "--x"); "-" alone
// is an operand. An option not among `options`, a value given to a flag and a missing value
// (nothing follows, or the next argument is itself a long option) are usage errors naming the
// option. With `stop_at_operand` the reading stops at the first operand, which opens rest().
[[nodiscard]] ParsedArgs parse_args(std::span<const std::string> args,
                                    std::initializer_list<std::span<const OptionSpec>> options,
                                    bool stop_at_operand = false);

}  // namespace ordano::cli
