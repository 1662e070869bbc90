// The Qt 6 Widgets backend. Install puts its whole kit in place once at start-up, before any
// window exists: windows and forms, the dialogs, the report viewer, text and raw printing,
// program starts, the screen and the machine. argc and argv must stay valid for the whole run.
// It creates the QApplication unless one exists.
#pragma once

namespace platform::qt {

void Install(int& argc, char** argv);

}  // namespace platform::qt
