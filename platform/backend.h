// The toolkit behind forms and windows, chosen once at start-up before any window
// exists: platform::headless::UseHeadlessBackend() or platform::qt::UseQtBackend(). Without a
// choice the headless backend serves, so tests and command-line runs need no display.
#pragma once

#include <memory>
#include <string_view>

#include "platform/forms.h"
#include "platform/mainwindow.h"

namespace platform {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual ModalResult RunModal(Form& form) = 0;
  virtual std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) = 0;
  virtual int RunEventLoop() = 0;
  virtual void ExitEventLoop(int exitCode) = 0;
  virtual void ProcessEvents() = 0;
};

// Installing nullptr ends the current backend (the headless one serves again).
void InstallBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();

// Runs the window event loop until ExitEventLoop and returns its exit code. The headless
// backend has no events and returns the code set last (0 if none) at once.
int RunEventLoop();
void ExitEventLoop(int exitCode);
// Handles pending window events, so that long work keeps the window responsive.
void ProcessEvents();

// One line of text to standard error, converted from Windows-1252 to UTF-8.
void WriteErrorLine(std::string_view text);

}  // namespace platform
