// wkv6: the P3G shaft-hub connection program. Without a window for the command-line outputs
// and the usage text, else with its main window until that closes.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/main/commandline.h"
#include "app/main/startunits.h"
#include "app/main/thh.h"
#include "base/text/utilstr.h"
#include "cad/layer/brelcad.h"
#include "platform/files/osfiles.h"
#include "platform/qt/qtbackend.h"
#include "platform/system/machine.h"
#include "platform/system/process.h"
#include "platform/system/programsearch.h"
#include "platform/system/services.h"
#include "platform/ui/backend.h"
#include "platform/ui/dialog.h"
#include "tables/access/dbf4.h"
#include "tables/core/dbf4use.h"

namespace {

// The Qt backend's plugin, beside the program in the build tree and in <prefix>/lib/kv6 beside
// <prefix>/bin/wkv6 when installed (both set in CMakeLists.txt).
constexpr const char* kQtPlugin = "libkv6_qt.so";
constexpr const char* kInstalledPluginFolder = "/../lib/kv6/";

// The plugin's Install; nullptr with the reason when it is missing or does not load.
decltype(&kv6_qt_install) LoadQtInstall(std::string& reason) {
  const std::string program = platform::ProgramFile();
  if (program.empty()) {
    reason = platform::kProgramFileUnknown;
    return nullptr;
  }
  const std::string folder = program.substr(0, program.rfind('/'));
  for (const std::string& path :
       {folder + "/" + kQtPlugin, folder + kInstalledPluginFolder + kQtPlugin}) {
    if (!platform::os::Accessible(path, F_OK)) continue;
    // Never closed: Qt's statics live until the process ends.
    void* plugin = ::dlopen(platform::os::HostName(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    void* install = plugin != nullptr ? ::dlsym(plugin, "kv6_qt_install") : nullptr;
    if (install == nullptr) reason = ::dlerror();
    return reinterpret_cast<decltype(&kv6_qt_install)>(install);
  }
  reason = "not beside the program nor in its ../lib/kv6";
  return nullptr;
}

// Loads the window toolkit and puts its kit in place; false, with the reason on standard error,
// when it cannot.
bool InstallQtBackend(int& argc, char** argv) {
  std::string reason;
  const auto install = LoadQtInstall(reason);
  if (install == nullptr) {
    std::fprintf(stderr, "wkv6: cannot load the window library %s: %s\n", kQtPlugin,
                 reason.c_str());
    return false;
  }
  install(&argc, argv);
  return true;
}

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
  CommandLine line = ParseCommandLine(std::vector<std::string>(args.begin() + 1, args.end()));
  if (argc > 1) line.hostFile = argv[1];
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
    if (!InstallQtBackend(argc, argv)) return 1;
  }
  CommandLineParams = args;
  platform::SetApplicationTitle("KV6");
  StartUnits(platform::CurrentMachine().ProgramPath());
  int exitCode = RunProgram(line);
  // A command-line run that had to say something on standard error failed, even when its output
  // was written.
  if (exitCode == 0 && RunsWithoutWindow(line.mode) && platform::ErrorLinesWritten() > 0) {
    exitCode = 1;
  }
  ShutDown();
  return exitCode;
}
