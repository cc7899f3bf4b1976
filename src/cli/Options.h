#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ordano::cli {

// A small reader over a subcommand's arguments: "--name value", "--flag" and positionals.
class Options {
public:
    explicit Options(std::vector<std::string> args) : args_(std::move(args)) {}

    // Takes "--name VALUE" out of the arguments; UsageError when the value is missing.
    std::optional<std::string> take_value(const std::string& name);
    std::string take_required(const std::string& name);
    // Takes "--name" out of the arguments.
    bool take_flag(const std::string& name);
    // What is left; UsageError for an unknown option.
    std::vector<std::string> positionals() const;
    // Everything not taken yet, options included.
    [[nodiscard]] const std::vector<std::string>& rest() const { return args_; }

private:
    std::vector<std::string> args_;
};

}  // namespace ordano::cli
