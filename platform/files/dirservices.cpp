#include "platform/files/dirservices.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/files/blockfile.h"
#include "platform/files/cp1252case.h"
#include "platform/files/filefaults.h"
#include "platform/files/osfiles.h"

namespace platform {
namespace {

char FoldCase(char c) {
  return static_cast<char>(Cp1252Lower(static_cast<std::uint8_t>(c)));
}

bool WildMatch(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' || FoldCase(*pattern) == FoldCase(*name)) {
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
  int fd = os::MakeTempFile(pattern);
  if (fd < 0) return IoCodeFromErrno(errno, true);
  close(fd);
  name = pattern;
  return 0;
}

bool UsableFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && os::Stat(path, info) == 0 && S_ISDIR(info.st_mode) &&
         os::Accessible(path, W_OK | X_OK);
}

std::string TempFolder() {
  // A TMPDIR naming a folder that is gone or closed to us would fail every temporary file.
  const std::string dir = os::Variable("TMPDIR");
  return UsableFolder(dir) ? dir : "/tmp";
}

long double DiskFreeBytes(const std::string& path) {
  if (FileFaults* faults = ArmedFileFaults(); faults != nullptr) {
    if (const long double set = faults->FreeBytes(path); set >= 0) return set;
  }
  struct statvfs info {};
  if (os::StatFileSystem(path.empty() ? "." : path, info) != 0) return -1;
  return static_cast<long double>(info.f_bavail) * static_cast<long double>(info.f_frsize);
}

std::vector<std::string> MatchFiles(const std::string& mask) {
  std::string::size_type slash = mask.rfind('/');
  std::string folder = slash == std::string::npos ? "." : mask.substr(0, slash == 0 ? 1 : slash);
  std::string pattern = slash == std::string::npos ? mask : mask.substr(slash + 1);
  std::string prefix = slash == std::string::npos ? "" : mask.substr(0, slash + 1);
  std::vector<std::string> names, found;
  os::FolderEntries(folder, names);
  for (const std::string& name : names) {
    if (!WildMatch(pattern.c_str(), name.c_str())) continue;
    const std::string full = prefix + name;
    struct stat info {};
    if (os::Stat(full, info) == 0 && S_ISREG(info.st_mode)) found.push_back(full);
  }
  std::sort(found.begin(), found.end());
  return found;
}

bool MakeFolders(const std::string& path) {
  for (std::string::size_type slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    os::MakeFolder(path.substr(0, slash), 0700);
  }
  os::MakeFolder(path, 0700);
  struct stat info {};
  return os::Stat(path, info) == 0 && S_ISDIR(info.st_mode);
}

bool MakePrivateFolder(const std::string& path) {
  if (os::MakeFolder(path, 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info {};
  if (os::LinkStat(path, info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
    return false;
  }
  return (info.st_mode & 0077) == 0 || os::ChangeMode(path, 0700) == 0;
}

}  // namespace platform
