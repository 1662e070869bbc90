#include "platform/system/programsearch.h"

#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/files/osfiles.h"

namespace platform {

namespace {

// What execvp starts: a regular file that may be executed, never a folder of the name.
bool StartableFile(const std::string& path) {
  struct stat info {};
  return os::Stat(path, info) == 0 && S_ISREG(info.st_mode) && os::Accessible(path, X_OK);
}

// The path the kernel started this program from, kept without /proc; empty where it names no
// startable file (after an fexecve it is "/dev/fd/N", which leads into /proc).
std::string StartedPath() {
  const auto* path = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
  if (path == nullptr) return {};
  const std::string name = os::ProgramName(path);
  return StartableFile(name) ? os::RealPath(name) : std::string();
}

}  // namespace

bool ProgramExists(const std::string& program) {
  return !ProgramLocation(program).empty();
}

std::string ProgramLocation(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) {
    return StartableFile(program) ? program : std::string();
  }
  const std::string path = os::Variable("PATH");
  std::stringstream dirs(!path.empty() ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (StartableFile(candidate)) return candidate;
  }
  return {};
}

std::string ProgramFile() {
  static const std::string file = [] {
    const std::string linked = os::ReadLink("/proc/self/exe");
    if (!linked.empty()) return linked;
    const std::string started = StartedPath();
    if (!started.empty()) return started;
    return os::RealPath(ProgramLocation(os::ProgramName(program_invocation_name)));
  }();
  return file;
}

}  // namespace platform
