#include "platform/files/osfiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/codepage.h"

extern char** environ;

namespace platform::os {
namespace {

// The UTF-8 form of a path, or false (errno ENOENT) when the path cannot name a file.
bool HostPath(const std::string& path, std::string& host) {
  if (!Nameable(path)) {
    errno = ENOENT;
    return false;
  }
  host = HostName(path);
  return true;
}

// Readers take only regular files, so that a FIFO, socket or device named as a file never holds
// them; writers also take a character device (a printer's device file, /dev/null); O_DIRECTORY
// asks for a folder.
bool KindFits(mode_t kind, int flags) {
  if ((flags & O_DIRECTORY) != 0) return S_ISDIR(kind);
  if ((flags & O_ACCMODE) == O_WRONLY) return S_ISREG(kind) || S_ISCHR(kind);
  return S_ISREG(kind);
}

// Closes fd and fails with error as errno.
int Refuse(int fd, int error) {
  ::close(fd);
  errno = error;
  return -1;
}

bool ReadAll(int fd, std::string& bytes) {
  char block[8192];
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(block, static_cast<std::size_t>(n));
  }
}

}  // namespace

bool WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string ProgramName(std::string_view hostName) {
  return Utf8ToCp1252(hostName);
}

bool Nameable(std::string_view path) {
  return path.find('?') == std::string_view::npos;
}

std::string HostName(std::string_view path) {
  return Cp1252ToUtf8(path);
}

int Open(const std::string& path, int flags, mode_t mode) {
  std::string host;
  if (!HostPath(path, host)) return -1;
  // A blocking open of a FIFO waits for the other end; the kind is known only once it is open.
  const int fd = ::open(host.c_str(), flags | O_NONBLOCK, mode);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return Refuse(fd, errno);
  if (!KindFits(info.st_mode, flags)) return Refuse(fd, EACCES);
  const int status = ::fcntl(fd, F_GETFL);
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) return Refuse(fd, errno);
  return fd;
}

int Stat(const std::string& path, struct stat& info) {
  std::string host;
  return HostPath(path, host) ? ::stat(host.c_str(), &info) : -1;
}

int LinkStat(const std::string& path, struct stat& info) {
  std::string host;
  return HostPath(path, host) ? ::lstat(host.c_str(), &info) : -1;
}

int ChangeMode(const std::string& path, mode_t mode) {
  std::string host;
  return HostPath(path, host) ? ::chmod(host.c_str(), mode) : -1;
}

int StatFileSystem(const std::string& path, struct statvfs& info) {
  std::string host;
  return HostPath(path, host) ? ::statvfs(host.c_str(), &info) : -1;
}

bool Accessible(const std::string& path, int mode) {
  std::string host;
  return HostPath(path, host) && ::access(host.c_str(), mode) == 0;
}

int Unlink(const std::string& path) {
  std::string host;
  return HostPath(path, host) ? ::unlink(host.c_str()) : -1;
}

int Rename(const std::string& from, const std::string& to) {
  std::string hostFrom, hostTo;
  if (!HostPath(from, hostFrom) || !HostPath(to, hostTo)) return -1;
  return ::rename(hostFrom.c_str(), hostTo.c_str());
}

int Exchange(const std::string& a, const std::string& b) {
  std::string hostA, hostB;
  if (!HostPath(a, hostA) || !HostPath(b, hostB)) return -1;
  return ::renameat2(AT_FDCWD, hostA.c_str(), AT_FDCWD, hostB.c_str(), RENAME_EXCHANGE);
}

int MakeFolder(const std::string& path, mode_t mode) {
  std::string host;
  return HostPath(path, host) ? ::mkdir(host.c_str(), mode) : -1;
}

int RemoveFolder(const std::string& path) {
  std::string host;
  return HostPath(path, host) ? ::rmdir(host.c_str()) : -1;
}

int ChangeFolder(const std::string& path) {
  std::string host;
  return HostPath(path, host) ? ::chdir(host.c_str()) : -1;
}

std::string RealPath(const std::string& path) {
  std::string host;
  if (!HostPath(path, host)) return {};
  char* resolved = ::realpath(host.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string name = ProgramName(resolved);
  std::free(resolved);
  return name;
}

std::string ReadLink(const std::string& path) {
  std::string host;
  if (!HostPath(path, host)) return {};
  std::vector<char> buffer(PATH_MAX);
  const ssize_t n = ::readlink(host.c_str(), buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
  return ProgramName(std::string(buffer.data(), static_cast<std::size_t>(n)));
}

ssize_t ListAttributes(const std::string& path, char* names, std::size_t size) {
  std::string host;
  return HostPath(path, host) ? ::llistxattr(host.c_str(), names, size) : -1;
}

ssize_t GetAttribute(const std::string& path, const char* name, char* value, std::size_t size) {
  std::string host;
  return HostPath(path, host) ? ::lgetxattr(host.c_str(), name, value, size) : -1;
}

std::string CurrentFolder() {
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) != nullptr ? ProgramName(folder) : std::string();
}

bool FolderEntries(const std::string& folder, std::vector<std::string>& names,
                   std::vector<std::string>* unusable) {
  std::string host;
  if (!HostPath(folder, host)) return false;
  DIR* dir = ::opendir(host.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    std::string name = ProgramName(entry->d_name);
    if (Nameable(name)) {
      names.push_back(std::move(name));
    } else if (unusable != nullptr) {
      unusable->emplace_back(entry->d_name);
    }
  }
  ::closedir(dir);
  return true;
}

int MakeTempFile(std::string& pattern) {
  std::string host;
  if (!HostPath(pattern, host)) return -1;
  const int fd = ::mkstemp(host.data());
  if (fd >= 0) pattern = ProgramName(host);
  return fd;
}

int OpenUnnamed(const std::string& folder, mode_t mode) {
  std::string host;
  return HostPath(folder, host) ? ::open(host.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode) : -1;
}

int LinkOpenFile(int fd, const std::string& path) {
  std::string host;
  if (!HostPath(path, host)) return -1;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, host.c_str(), AT_SYMLINK_FOLLOW);
}

bool MakeTempFolder(std::string& pattern) {
  std::string host;
  if (!HostPath(pattern, host) || ::mkdtemp(host.data()) == nullptr) return false;
  pattern = ProgramName(host);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, off_t offset) {
  bytes.clear();
  const int fd = Open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = (offset == 0 || ::lseek(fd, offset, SEEK_SET) == offset) && ReadAll(fd, bytes);
  ::close(fd);
  return ok;
}

std::string Variable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? ProgramName(value) : std::string();
}

int SpawnProgram(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions,
                 pid_t& pid) {
  if (argv.empty()) return ENOENT;
  std::vector<std::string> host;
  for (const std::string& arg : argv) host.push_back(HostName(arg));
  std::vector<char*> args;
  for (std::string& arg : host) args.push_back(arg.data());
  args.push_back(nullptr);
  return ::posix_spawnp(&pid, args[0], actions, nullptr, args.data(), environ);
}

std::vector<std::string> ProgramArguments(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(ProgramName(argv[i]));
  return args;
}

}  // namespace platform::os
