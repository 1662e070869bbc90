// The services a backend provides, held in one place: windows and forms, dialogs, the report
// viewer, text and raw printing, program starts, the screen, the machine, and the file faults a
// test arms. A backend's Install puts its whole kit here once at start-up (platform::qt::Install,
// platform::headless::Install); a test swaps one service with Substitute and gets the one before
// back when it ends.
//
// A slot left empty serves the command-line policy, so nothing needs a display or blocks: a form
// or question writes its caption to standard error and takes its Cancel answer, a viewer request
// writes the file name to standard error, a print request fails, a program start or document
// open is written to standard error and starts nothing.
#pragma once

#include <memory>
#include <tuple>
#include <utility>

#include "platform/files/filefaults.h"
#include "platform/print/currentprinter.h"
#include "platform/print/rawprint.h"
#include "platform/print/textprinter.h"
#include "platform/system/machine.h"
#include "platform/system/process.h"
#include "platform/ui/backend.h"
#include "platform/ui/dialog.h"
#include "platform/ui/screen.h"
#include "platform/ui/textviewer.h"

namespace platform {

struct Services {
  std::unique_ptr<Backend> windows;  // destroyed last: it may own the toolkit's application
  std::unique_ptr<DialogBackend> dialogs;
  std::unique_ptr<TextViewerBackend> textViewer;
  std::unique_ptr<TextPrinterBackend> textPrinter;
  std::unique_ptr<PrinterService> printer;  // the current printer of drawings and text
  std::unique_ptr<RawPrinter> rawPrinter;
  std::unique_ptr<ProcessLauncher> launcher;
  std::unique_ptr<ScreenSource> screen;
  std::unique_ptr<Machine> machine;
  std::unique_ptr<FileFaults> fileFaults;  // only tests arm it
};

// Never destroyed at exit: a toolkit's services must not outlive its library's statics, so the
// program ends them while it can with InstallServices({}).
Services& InstalledServices();
// Replaces every service by the kit's; the old ones end here.
void InstallServices(Services kit);

// The slot of one service.
template <typename Service>
std::unique_ptr<Service>& Slot() {
  Services& s = InstalledServices();
  return std::get<std::unique_ptr<Service>&>(
      std::tie(s.windows, s.dialogs, s.textViewer, s.textPrinter, s.printer, s.rawPrinter,
               s.launcher, s.screen, s.machine, s.fileFaults));
}

// Puts a test's double into its service's slot until the end of the scope, then the service
// before it back. A null double empties the slot, as if nothing was installed.
template <typename Service, typename Double>
class Substitute {
 public:
  explicit Substitute(std::unique_ptr<Double> fresh = std::make_unique<Double>())
      : double_(fresh.get()), previous_(std::exchange(Slot<Service>(), std::move(fresh))) {}
  ~Substitute() { Slot<Service>() = std::move(previous_); }
  Substitute(const Substitute&) = delete;
  Substitute& operator=(const Substitute&) = delete;

  Double& operator*() const { return *double_; }
  Double* operator->() const { return double_; }

 private:
  Double* double_;
  std::unique_ptr<Service> previous_;
};

}  // namespace platform
