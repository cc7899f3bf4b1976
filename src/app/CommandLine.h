#pragma once

#include <QStringList>

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "store/Settings.h"

namespace ordano {

// What the desktop program is told on its command line.
struct GuiOptions {
    PathOptions paths;                                // --ini FILE, --root DIR
    std::optional<std::filesystem::path> screenshot;  // --screenshot FILE.png
    bool dark = false;  // --dark: the windows in a dark palette whatever the desktop's theme
};

struct UsageProblem {
    std::string text;
};

// Reads the arguments (the program's name first). An unknown option, a missing value or a
// stray argument gives a usage problem.
[[nodiscard]] std::variant<GuiOptions, UsageProblem> parse_command_line(
    const QStringList& arguments, const std::filesystem::path& executable_dir);

[[nodiscard]] std::string usage_text();

}  // namespace ordano
