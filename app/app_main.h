// The program's start-up and shutdown around the main window's event loop.
#pragma once

#include "platform/main_window.h"

namespace murrel {

// App_Main: runs once the window system (the QApplication) exists. Creates the program-wide values,
// shows the main window, runs the event loop until the window is closed, releases the values and
// returns 0. `steps` are what the two step buttons run.
int App_Main(MainWindow::Steps steps = MainWindow::resolveSteps());

}  // namespace murrel
