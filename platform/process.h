// Starting other programs: a program by its argument list (no shell, not waited for), and a
// document with the desktop's default program. The headless policy records the requests and
// starts nothing, so tests and command-line runs see them without side effects.
#pragma once

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // 0 when started, else the errno of the failure (ENOENT for a missing program).
  virtual int StartProgram(const std::vector<std::string>& argv) = 0;
  virtual void OpenDocument(const std::string& path) = 0;
};

// Records every request; StartProgram answers with `startResult`.
class RecordingLauncher final : public ProcessLauncher {
 public:
  int StartProgram(const std::vector<std::string>& argv) override {
    programs.push_back(argv);
    return startResult;
  }
  void OpenDocument(const std::string& path) override { documents.push_back(path); }

  int startResult = 0;
  std::vector<std::vector<std::string>> programs;
  std::vector<std::string> documents;
};

// Starts programs for real: posix_spawnp, the child reaped when it ends; documents through
// xdg-open.
std::unique_ptr<ProcessLauncher> MakeSystemLauncher();

// Without an installed launcher the system launcher serves.
void InstallProcessLauncher(std::unique_ptr<ProcessLauncher> launcher);
// Installs a fresh recording launcher and returns it.
RecordingLauncher& UseRecordingLauncher();

int StartProgram(const std::vector<std::string>& argv);
void OpenDocument(const std::string& path);

}  // namespace platform
