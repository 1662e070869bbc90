// wkv6: starts the units of the program and opens its main window.
#include <cstdio>

#include "app/main/startunits.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "platform/backend.h"
#include "platform/machine.h"
#include "platform/mainwindow.h"
#include "platform/qt/qtbackend.h"
#include "platform/services.h"
#include "tables/core/dbf4use.h"

namespace {

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
  if (!platform::qt::HasDisplay()) {
    std::fputs("wkv6: no display: start it on a desktop, or use a command-line mode (/I or /CAD)\n",
               stderr);
    return 1;
  }
  platform::qt::Install(argc, argv);
  StartUnits(platform::CurrentMachine().ProgramPath());
  const int exitCode = RunMainWindow();
  dadav::EngineExit();
  platform::InstallServices({});
  return exitCode;
}
