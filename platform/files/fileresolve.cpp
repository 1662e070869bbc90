#include "platform/files/fileresolve.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/files/cp1252case.h"
#include "platform/files/osfiles.h"

namespace platform {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Cp1252Lower(static_cast<std::uint8_t>(x)) ==
                  Cp1252Lower(static_cast<std::uint8_t>(y));
         });
}

bool Exists(const std::string& path) {
  struct stat info {};
  return os::Stat(path, info) == 0;
}

}  // namespace

std::string ResolveFileName(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  const std::string::size_type slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return path;
  const std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::vector<std::string> names;
  os::FolderEntries(prefix.empty() ? "." : prefix, names);
  std::sort(names.begin(), names.end());
  for (const std::string& candidate : names) {
    if (EqualIgnoringCase(candidate, name)) return prefix + candidate;
  }
  return path;
}

}  // namespace platform
