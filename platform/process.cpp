#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "platform/osfiles.h"

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

std::unique_ptr<ProcessLauncher>& Installed() {
  static std::unique_ptr<ProcessLauncher> launcher;
  return launcher;
}

ProcessLauncher& Current() {
  if (!Installed()) Installed() = MakeSystemLauncher();
  return *Installed();
}

}  // namespace

std::unique_ptr<ProcessLauncher> MakeSystemLauncher() {
  return std::make_unique<SystemLauncher>();
}

void InstallProcessLauncher(std::unique_ptr<ProcessLauncher> launcher) {
  Installed() = std::move(launcher);
}

RecordingLauncher& UseRecordingLauncher() {
  auto recorder = std::make_unique<RecordingLauncher>();
  RecordingLauncher& ref = *recorder;
  InstallProcessLauncher(std::move(recorder));
  return ref;
}

int StartProgram(const std::vector<std::string>& argv) {
  return Current().StartProgram(argv);
}

void OpenDocument(const std::string& path) {
  Current().OpenDocument(path);
}

}  // namespace platform
