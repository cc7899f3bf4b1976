// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>

#include "app/CommandLine.h"

class QWidget;

namespace ordano {

class Clock;
class UiPort;

// The desktop program: brings the office up, shows the main window and runs until Salir.
// With a screenshot file it saves a picture of the main window instead and returns. Returns the
// exit status: 0, or 1 when the office could not be brought up. Needs a QApplication.
int run_ordano(const GuiOptions& options, UiPort& ui, const Clock& clock);

// Renders the window at 1280 x 800 into a PNG file without showing it on screen.
bool save_screenshot(QWidget& window, const std::filesystem::path& file);

// main(): the application object, the command line, the system clock and Qt dialogs.
int ordano_main(int argc, char** argv);

}  // namespace ordano
