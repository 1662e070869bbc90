// wkv6: starts the units of the program and opens its main window.
#include "base/brelvar.h"
#include "base/displaytext.h"
#include "base/numbertext.h"
#include "base/startfolders.h"
#include "base/textreport.h"
#include "base/wbrelvar.h"
#include "platform/backend.h"
#include "platform/machine.h"
#include "platform/mainwindow.h"
#include "platform/qt/qtbackend.h"
#include "platform/services.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"

namespace {

// Every unit's start-up routine sets its globals' defaults, in the order the units build on
// each other.
void StartUnits() {
  InitNumberText();
  InitWbrelvar();
  InitBrelvar();
  InitReportEngine();
  SetUpFolders(platform::CurrentMachine().ProgramPath());
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
  platform::qt::Install(argc, argv);
  StartUnits();
  const int exitCode = RunMainWindow();
  dadav::EngineExit();
  platform::InstallServices({});
  return exitCode;
}
