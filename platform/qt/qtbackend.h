// The Qt 6 Widgets backend. Install puts its whole kit in place once at start-up, before any
// window exists: windows and forms, the dialogs, the report viewer, text and raw printing,
// program starts, the screen and the machine. argc and argv must stay valid for the whole run.
// It creates the QApplication unless one exists.
#pragma once

namespace platform::qt {

void Install(int& argc, char** argv);

// Whether Qt may find a display: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM names the
// platform plugin to try. Without any of them creating the QApplication aborts the process.
bool HasDisplay();

}  // namespace platform::qt
