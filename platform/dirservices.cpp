#include "platform/dirservices.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/blockfile.h"

namespace platform {
namespace {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool WildMatch(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' || AsciiLower(*pattern) == AsciiLower(*name)) {
      ++pattern;
      ++name;
    } else if (starPattern != nullptr) {
      pattern = starPattern;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

}  // namespace

int MakeTempFile(const std::string& folder, const std::string& prefix, std::string& name) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '/') pattern += '/';
  pattern.append(prefix).append("XXXXXX");
  int fd = mkstemp(pattern.data());
  if (fd < 0) return IoCodeFromErrno(errno, true);
  close(fd);
  name = pattern;
  return 0;
}

std::string TempFolder() {
  const char* dir = std::getenv("TMPDIR");
  return (dir != nullptr && *dir != '\0') ? dir : "/tmp";
}

long double DiskFreeBytes(const std::string& path) {
  struct statvfs info {};
  if (statvfs(path.empty() ? "." : path.c_str(), &info) != 0) return -1;
  return static_cast<long double>(info.f_bavail) * static_cast<long double>(info.f_frsize);
}

std::vector<std::string> MatchFiles(const std::string& mask) {
  std::string::size_type slash = mask.rfind('/');
  std::string folder = slash == std::string::npos ? "." : mask.substr(0, slash == 0 ? 1 : slash);
  std::string pattern = slash == std::string::npos ? mask : mask.substr(slash + 1);
  std::string prefix = slash == std::string::npos ? "" : mask.substr(0, slash + 1);
  std::vector<std::string> found;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return found;
  while (dirent* entry = readdir(dir)) {
    if (!WildMatch(pattern.c_str(), entry->d_name)) continue;
    std::string full = prefix;
    full.append(entry->d_name);
    struct stat info {};
    if (stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode)) found.push_back(full);
  }
  closedir(dir);
  std::sort(found.begin(), found.end());
  return found;
}

bool MakeFolders(const std::string& path) {
  for (std::string::size_type slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
  mkdir(path.c_str(), 0700);
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakePrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
    return false;
  }
  return (info.st_mode & 0077) == 0 || chmod(path.c_str(), 0700) == 0;
}

}  // namespace platform
