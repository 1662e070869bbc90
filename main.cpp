// wkv6: starts the units of the program and opens its main window.
#include "base/brelvar.h"
#include "base/displaytext.h"
#include "base/startfolders.h"
#include "base/textreport.h"
#include "base/wbrelvar.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/machine.h"
#include "platform/mainwindow.h"
#include "platform/qt/dialogqt.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/qtengine.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzerror.h"

namespace {

// Every unit's start-up routine sets its globals' defaults, in the order the units build on
// each other.
void StartUnits() {
  InitWbrelvar();
  InitBrelvar();
  InitReportEngine();
  SetUpFolders(platform::CurrentMachine().ProgramPath());
  // A table error halts in a modal box, and lock waits keep the windows painted.
  dadav::SetHaltDisplay(&platform::qt::ShowHaltBox);
  dadav::SetWaitPump(&platform::qt::PumpEventsWithoutInput);
  dadav::EngineStart();
}

void BuildMenus(platform::MainWindow& window) {
  platform::Menu& file = window.Menus().AddMenu("mi_file", "&File");
  file.AddItem("mi_fileexit", "E&xit", [&window] { window.Close(); });
}

int RunMainWindow() {
  platform::MainWindow window;
  window.SetCaption(ToDisplayText(LongTitle));
  BuildMenus(window);
  window.onClose = [] { platform::ExitEventLoop(0); };
  window.Show();
  return platform::RunEventLoop();
}

}  // namespace

int main(int argc, char** argv) {
  platform::UseQtBackend(argc, argv);
  platform::qt::UseQtDialogs();
  StartUnits();
  const int exitCode = RunMainWindow();
  dadav::EngineExit();
  platform::InstallDialogBackend(nullptr);
  platform::InstallBackend(nullptr);
  return exitCode;
}
