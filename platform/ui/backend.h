// The toolkit behind windows and forms: one service of the platform's kit (platform/services.h),
// put in place before any window exists by platform::qt::Install or platform::headless::Install.
// Without one nothing shows: a modal form writes its caption to standard error and ends with
// Cancel, a window is never seen, and the event loop returns at once.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/ui/forms.h"
#include "platform/ui/mainwindow.h"
#include "platform/ui/messagewindow.h"
#include "platform/ui/terminalwindow.h"

namespace platform {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual ModalResult RunModal(Form& form) = 0;
  virtual std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) = 0;
  virtual std::unique_ptr<MessageWindow> CreateMessageWindow() = 0;
  virtual int RunEventLoop() = 0;
  virtual void ExitEventLoop(int exitCode) = 0;
  virtual void ProcessEvents() = 0;
  // Pending events except user input, so that a click cannot start a command meanwhile.
  virtual void ProcessEventsWithoutInput() = 0;
};

// The command-line policy: nobody sees a window or answers a form. It serves while no backend
// is installed, and a backend without a display builds on it. Message windows show as a line on
// the terminal, or nowhere.
class NoDisplayBackend : public Backend {
 public:
  explicit NoDisplayBackend(TerminalOutput terminal = StandardErrorTerminal())
      : terminal_(std::move(terminal)) {}
  ModalResult RunModal(Form& form) override;
  std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) override;
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  int RunEventLoop() override { return exitCode_; }
  void ExitEventLoop(int exitCode) override { exitCode_ = exitCode; }
  void ProcessEvents() override {}
  void ProcessEventsWithoutInput() override {}

 private:
  TerminalOutput terminal_;
  int exitCode_ = 0;
};

Backend& CurrentBackend();

// Runs the window event loop until ExitEventLoop and returns its exit code. Without a display
// there are no events: it returns the code set last (0 if none) at once.
int RunEventLoop();
void ExitEventLoop(int exitCode);
// Handles pending window events, so that long work keeps the window responsive.
void ProcessEvents();
// The same while the program waits for something else (a table lock): the windows stay painted
// but take no input.
void ProcessEventsWithoutInput();

// One line of text to standard error, converted from Windows-1252 to UTF-8.
void WriteErrorLine(std::string_view text);
// The same for a text in UTF-8.
void WriteUtf8ErrorLine(std::string_view text);
// How many lines WriteErrorLine and WriteUtf8ErrorLine wrote since the process started: what the
// command-line policy had to tell (a message, a question nobody answers, a form nobody sees).
std::size_t ErrorLinesWritten();

}  // namespace platform
