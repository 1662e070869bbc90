#include "platform/system/programsearch.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/files/osfiles.h"

namespace platform {

bool ProgramExists(const std::string& program) {
  if (program.empty()) return false;
  if (program.find('/') != std::string::npos) return os::Accessible(program, X_OK);
  const std::string path = os::Variable("PATH");
  std::stringstream dirs(!path.empty() ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (os::Accessible(candidate, X_OK)) return true;
  }
  return false;
}

}  // namespace platform
