// The Qt 6 Widgets backend. Choose it once at start-up, before any window exists; argc and
// argv must stay valid for the whole run. It creates the QApplication unless one exists.
#pragma once

namespace platform {

void UseQtBackend(int& argc, char** argv);

}  // namespace platform
