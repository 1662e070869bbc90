// The Qt 6 Widgets backend. Install puts its whole kit in place once at start-up, before any
// window exists: windows and forms, the dialogs, the report viewer, text and raw printing,
// program starts, the screen and the machine. argc and argv must stay valid for the whole run.
// It creates the QApplication unless one exists.
//
// The program itself loads the backend as a plugin (libkv6_qt.so) only when it opens a window,
// so that its command-line runs map no Qt library; tests and tools link it directly.
#pragma once

#include "platform/files/osfiles.h"

namespace platform::qt {

void Install(int& argc, char** argv);

// Whether Qt may find a display: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM names the
// platform plugin to try. Without any of them creating the QApplication aborts the process.
// Inline, so that the program asks before it loads the plugin.
inline bool HasDisplay() {
  return !os::Variable("DISPLAY").empty() || !os::Variable("WAYLAND_DISPLAY").empty() ||
         !os::Variable("QT_QPA_PLATFORM").empty();
}

}  // namespace platform::qt

// Install under a C name, for the program's lookup in the plugin.
extern "C" void kv6_qt_install(int* argc, char** argv);
