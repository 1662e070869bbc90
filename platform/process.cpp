#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "platform/osfiles.h"
#include "platform/programsearch.h"
#include "platform/services.h"

namespace platform {

namespace {

class SystemLauncher final : public ProcessLauncher {
 public:
  int StartProgram(const std::vector<std::string>& argv) override {
    pid_t pid = 0;
    const int error = os::SpawnProgram(argv, nullptr, pid);
    if (error != 0) return error;
    // The caller does not wait; a detached waiter reaps the child when it ends.
    std::thread([pid] {
      int status = 0;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
    return 0;
  }

  void OpenDocument(const std::string& path) override { StartProgram({"xdg-open", path}); }
};

// A request is shown, not carried out: it counts as handled.
class CommandLineLauncher final : public ProcessLauncher {
 public:
  int StartProgram(const std::vector<std::string>& argv) override {
    std::string line;
    for (const std::string& arg : argv) line += (line.empty() ? "" : " ") + arg;
    WriteErrorLine(line);
    return 0;
  }
  void OpenDocument(const std::string& path) override { WriteErrorLine(path); }
};

ProcessLauncher& Current() {
  auto& launcher = Slot<ProcessLauncher>();
  if (!launcher) launcher = MakeCommandLineLauncher();
  return *launcher;
}

}  // namespace

std::unique_ptr<ProcessLauncher> MakeSystemLauncher() {
  return std::make_unique<SystemLauncher>();
}

std::unique_ptr<ProcessLauncher> MakeCommandLineLauncher() {
  return std::make_unique<CommandLineLauncher>();
}

int StartProgram(const std::vector<std::string>& argv) {
  return Current().StartProgram(argv);
}

void OpenDocument(const std::string& path) {
  Current().OpenDocument(path);
}

bool OpensDocuments() {
  return Current().OpensDocuments();
}

bool ProcessLauncher::OpensDocuments() {
  return ProgramExists("xdg-open");
}

}  // namespace platform
