// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QStringList>

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "office/Settings.h"

namespace ordano {

// What the desktop program is told on its command line.
struct GuiOptions {
    enum class Request { Run, Help, Version };

    Request request = Request::Run;                   // -h/--help, --version: print and end
    PathOptions paths;                                // --ini FILE, --root DIR
    std::optional<std::filesystem::path> screenshot;  // --screenshot FILE.png
    bool dark = false;  // --dark: the windows in a dark palette whatever the desktop's theme
};

struct UsageProblem {
    std::string text;
};

// Reads the arguments (the program's name first): "--name value" or "--name=value", "--" ends
// the options. An unknown option, a missing value or a stray argument gives a usage problem.
[[nodiscard]] std::variant<GuiOptions, UsageProblem> parse_command_line(
    const QStringList& arguments, const std::filesystem::path& executable_dir);

[[nodiscard]] std::string usage_text();
// What --help prints: usage, every option, examples.
[[nodiscard]] std::string help_text();

}  // namespace ordano
