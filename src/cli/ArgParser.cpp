// SPDX-License-Identifier: Apache-2.0
#include "cli/ArgParser.h"

#include <charconv>

namespace ordano::cli {
namespace {

const OptionSpec* find_option(std::string_view name,
                              std::initializer_list<std::span<const OptionSpec>> options) {
    for (const auto& group : options) {
        for (const OptionSpec& option : group) {
            if (option.name == name || (!option.short_name.empty() && option.short_name == name)) {
                return &option;
            }
        }
    }
    return nullptr;
}

bool is_option(std::string_view arg) {
    return arg.size() > 1 && arg.front() == '-';
}

}  // namespace

bool ParsedArgs::has(std::string_view name) const {
    return given_.find(name) != given_.end();
}

std::optional<std::string> ParsedArgs::value(std::string_view name) const {
    const auto it = given_.find(name);
    return it == given_.end() ? std::nullopt : it->second;
}

std::string ParsedArgs::required(std::string_view name) const {
    auto given = value(name);
    if (!given) {
        throw UsageError("falta la opción " + std::string(name));
    }
    return std::move(*given);
}

void reject_operands(const ParsedArgs& args) {
    if (!args.operands().empty()) {
        throw UsageError("argumento de más: " + args.operands().front());
    }
}

ParsedArgs parse_args(std::span<const std::string> args,
                      std::initializer_list<std::span<const OptionSpec>> options,
                      bool stop_at_operand) {
    ParsedArgs parsed;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || !is_option(arg)) {
            if (stop_at_operand) {
                parsed.rest_.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
                return parsed;
            }
            parsed.operands_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        const auto equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = find_option(name, options);
        if (option == nullptr) {
            throw UsageError("opción desconocida: " + name);
        }
        const std::string key(option->name);
        if (option->value.empty()) {
            if (equals != std::string::npos) {
                throw UsageError("la opción " + key + " no lleva valor");
            }
            parsed.given_[key] = std::nullopt;
            continue;
        }
        if (equals != std::string::npos) {
            parsed.given_[key] = arg.substr(equals + 1);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].starts_with("--")) {
            throw UsageError("falta el valor de " + key + " (" + std::string(option->value) + ")");
        }
        parsed.given_[key] = args[++i];
    }
    return parsed;
}

std::chrono::seconds seconds_value(const std::string& text, int minimum,
                                   std::string_view complaint) {
    int value = minimum - 1;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < minimum) {
        throw UsageError(std::string(complaint) + text);
    }
    return std::chrono::seconds(value);
}

}  // namespace ordano::cli
