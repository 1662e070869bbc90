// Starting Qt in a test process. Both are made once and kept until the process ends.
#pragma once

// A plain QApplication, for tests of widgets and painting that need no backend.
void StartQtApplication();
// The Qt kit with its application (platform::qt::Install), for tests of windows, forms, dialogs
// and the services the kit installs.
void StartQtBackend();
