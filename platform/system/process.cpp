#include "platform/system/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "platform/files/osfiles.h"
#include "platform/system/programsearch.h"
#include "platform/system/services.h"

namespace platform {

namespace {

// Long enough for an opener or editor to refuse a file, short enough not to hold the window up.
constexpr auto kWatchTime = std::chrono::milliseconds(1000);
constexpr auto kWatchStep = std::chrono::milliseconds(10);

// The caller does not wait; a detached waiter reaps the child when it ends.
void ReapLater(pid_t pid) {
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

// The child's exit status when it ends within the watch time (128 + the signal that ended it),
// else 0 and it is left to run.
int ExitStatusWithinWatch(pid_t pid) {
  const auto end = std::chrono::steady_clock::now() + kWatchTime;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 0;
    }
    if (done < 0 && errno != EINTR) return 0;
    if (std::chrono::steady_clock::now() >= end) break;
    std::this_thread::sleep_for(kWatchStep);
  }
  ReapLater(pid);
  return 0;
}

std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + ' ') {
    if (c != ' ' && c != '\t') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  return words;
}

class SystemLauncher final : public ProcessLauncher {
 public:
  int StartProgram(const std::vector<std::string>& argv) override {
    pid_t pid = 0;
    const int error = os::SpawnProgram(argv, nullptr, pid);
    if (error == 0) ReapLater(pid);
    return error;
  }
  LaunchResult OpenDocument(const std::string& path) override {
    return StartWatched({"xdg-open", path});
  }
  LaunchResult EditText(const std::string& path) override {
    return StartWatched(EditorCommand(path));
  }

 private:
  static LaunchResult StartWatched(const std::vector<std::string>& argv) {
    LaunchResult result;
    result.program = argv.front();
    pid_t pid = 0;
    result.startError = os::SpawnProgram(argv, nullptr, pid);
    if (result.startError == 0) result.exitStatus = ExitStatusWithinWatch(pid);
    return result;
  }
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
  LaunchResult OpenDocument(const std::string& path) override {
    WriteErrorLine(path);
    return {"xdg-open"};
  }
  LaunchResult EditText(const std::string& path) override {
    const std::vector<std::string> argv = EditorCommand(path);
    StartProgram(argv);
    return {argv.front()};
  }
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

std::vector<std::string> EditorCommand(const std::string& path) {
  std::vector<std::string> argv;
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    argv = SplitAtBlanks(os::Variable(variable));
    if (!argv.empty()) break;
  }
  if (argv.empty()) argv.push_back("xdg-open");
  argv.push_back(path);
  return argv;
}

int StartProgram(const std::vector<std::string>& argv) {
  return Current().StartProgram(argv);
}

LaunchResult OpenDocument(const std::string& path) {
  return Current().OpenDocument(path);
}

LaunchResult EditText(const std::string& path) {
  return Current().EditText(path);
}

bool OpensDocuments() {
  return Current().OpensDocuments();
}

bool ProcessLauncher::OpensDocuments() {
  return ProgramExists("xdg-open");
}

}  // namespace platform
