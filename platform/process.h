// Starting other programs: a program by its argument list (no shell, not waited for), and a
// document with the desktop's default program. Without a display nothing is started: the
// command-line policy writes each request to standard error instead.
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
  // Whether OpenDocument has a program to hand documents to: the desktop's opener.
  virtual bool OpensDocuments();
};

// Starts programs for real: posix_spawnp, the child reaped when it ends; documents through
// xdg-open.
std::unique_ptr<ProcessLauncher> MakeSystemLauncher();

std::unique_ptr<ProcessLauncher> MakeCommandLineLauncher();

// Through the launcher service of the platform's kit (platform/services.h); without one the
// command-line policy serves.
int StartProgram(const std::vector<std::string>& argv);
void OpenDocument(const std::string& path);
bool OpensDocuments();

}  // namespace platform
