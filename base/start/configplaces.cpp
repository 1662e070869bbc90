#include "base/start/configplaces.h"

#include "base/files/utilpath.h"
#include "platform/files/osfiles.h"

namespace {

constexpr const char* kBelowBase = "brelcor/kv6/";

bool Absolute(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

}  // namespace

std::string UserConfigFolder() {
  const std::string configHome = platform::os::Variable("XDG_CONFIG_HOME");
  if (Absolute(configHome)) return AddBackslash(configHome) + kBelowBase;
  const std::string home = platform::os::Variable("HOME");
  if (!Absolute(home)) return {};
  return AddBackslash(home) + ".config/" + kBelowBase;
}

std::vector<std::string> SystemConfigFolders() {
  std::string dirs = platform::os::Variable("XDG_CONFIG_DIRS");
  if (dirs.empty()) dirs = "/etc/xdg";
  std::vector<std::string> folders;
  std::string::size_type start = 0;
  while (start <= dirs.size()) {
    std::string::size_type end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    if (Absolute(dir)) folders.push_back(AddBackslash(dir) + kBelowBase);
    start = end + 1;
  }
  return folders;
}
