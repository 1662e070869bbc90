// wkv6: the P3G shaft-hub connection program. Without a window for the command-line outputs
// and the usage text, else with its main window until that closes.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/main/commandline.h"
#include "app/main/startunits.h"
#include "app/main/thh.h"
#include "base/text/utilstr.h"
#include "cad/layer/brelcad.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/machine.h"
#include "platform/osfiles.h"
#include "platform/process.h"
#include "platform/qt/qtbackend.h"
#include "platform/services.h"
#include "tables/access/dbf4.h"
#include "tables/core/dbf4use.h"

namespace {

int RunProgram(const CommandLine& line) {
  Thh form;
  if (const std::optional<int> code = form.FormCreate(line)) return *code;
  form.Window().onClose = [] { platform::ExitEventLoop(0); };
  form.Window().Show();
  const int code = platform::RunEventLoop();
  form.FormDestroy();
  return code;
}

// Every end of the run, inside start-up or after the window closed, comes through here.
void ShutDown() {
  DeleteTempBlockFiles();
  dadav::FreeDbfForm();
  dadav::EngineExit();
  platform::InstallServices({});
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::os::ProgramArguments(argc, argv);
  const CommandLine line = ParseCommandLine(std::vector<std::string>(args.begin() + 1, args.end()));
  // The command-line outputs run on the command-line policy: no toolkit, no display, no question
  // that waits for an answer. Only the plot program of CAD device 4 is really started.
  if (RunsWithoutWindow(line.mode)) {
    platform::Services kit;
    kit.launcher = platform::MakeSystemLauncher();
    platform::InstallServices(std::move(kit));
  } else {
    if (!platform::qt::HasDisplay()) {
      std::fputs(
          "wkv6: no display: start it on a desktop, or use a command-line mode (/I or /CAD)\n",
          stderr);
      return 1;
    }
    platform::qt::Install(argc, argv);
  }
  CommandLineParams = args;
  platform::SetApplicationTitle("KV6");
  StartUnits(platform::CurrentMachine().ProgramPath());
  const int exitCode = RunProgram(line);
  ShutDown();
  return exitCode;
}
