// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>

#include "app/CommandLine.h"

class QWidget;

namespace ordano {

class Clock;
class FrontEnd;

// The desktop program: brings the office up, shows the main window and runs until Salir (or
// until the session or the system ends it: its work is stopped the same way). With a
// screenshot file it saves a picture of the main window instead and returns. Returns the exit
// status: 0, or 1 when the office could not be brought up (once its message has been seen).
// Needs a QApplication.
int run_ordano(const GuiOptions& options, FrontEnd& ui, const Clock& clock);

// Renders the window at 1280 x 800 into a PNG file without showing it on screen, once the
// event loop has laid it out; then leaves the loop.
bool save_screenshot(QWidget& window, const std::filesystem::path& file);

// main(): the application object, the command line, the system clock and Qt dialogs.
int ordano_main(int argc, char** argv);

}  // namespace ordano
