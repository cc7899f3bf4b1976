#include "cli/Options.h"

#include <algorithm>

#include "cli/Cli.h"

namespace ordano::cli {

std::optional<std::string> Options::take_value(const std::string& name) {
    auto it = std::find(args_.begin(), args_.end(), name);
    if (it == args_.end()) {
        return std::nullopt;
    }
    if (std::next(it) == args_.end()) {
        throw UsageError("falta el valor de " + name);
    }
    std::string value = *std::next(it);
    args_.erase(it, std::next(it, 2));
    return value;
}

std::string Options::take_required(const std::string& name) {
    auto value = take_value(name);
    if (!value) {
        throw UsageError("falta la opción " + name);
    }
    return *value;
}

bool Options::take_flag(const std::string& name) {
    auto it = std::find(args_.begin(), args_.end(), name);
    if (it == args_.end()) {
        return false;
    }
    args_.erase(it);
    return true;
}

std::vector<std::string> Options::positionals() const {
    for (const auto& arg : args_) {
        if (arg.size() > 1 && arg.starts_with("--")) {
            throw UsageError("opción desconocida: " + arg);
        }
    }
    return args_;
}

}  // namespace ordano::cli
