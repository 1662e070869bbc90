#include "platform/system/programsearch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/files/osfiles.h"

namespace platform {

bool ProgramExists(const std::string& program) {
  return !ProgramLocation(program).empty();
}

std::string ProgramLocation(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) {
    return os::Accessible(program, X_OK) ? program : std::string();
  }
  const std::string path = os::Variable("PATH");
  std::stringstream dirs(!path.empty() ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (os::Accessible(candidate, X_OK)) return candidate;
  }
  return {};
}

std::string ProgramFile() {
  static const std::string file = [] {
    const std::string linked = os::ReadLink("/proc/self/exe");
    if (!linked.empty()) return linked;
    return os::RealPath(ProgramLocation(os::ProgramName(program_invocation_name)));
  }();
  return file;
}

}  // namespace platform
