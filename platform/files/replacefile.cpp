#include "platform/files/replacefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/filefaults.h"
#include "platform/files/osfiles.h"

namespace platform {
namespace {

// A fault a test armed for this sync or rename: -1 with its errno, else 0.
int ArmedFault() {
  FileFaults* faults = ArmedFileFaults();
  const int err = faults != nullptr ? faults->SyncOrRenameFault() : 0;
  if (err == 0) return 0;
  errno = err;
  return -1;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Passes on the rename's result, removing temp when the rename failed.
int RemoveUnlessRenamed(const std::string& temp, int renamed) {
  if (renamed == 0) return 0;
  // A rename that went through but whose folder could not be synced left no temp: this finds
  // nothing then.
  const int error = errno;
  os::Unlink(temp);
  errno = error;
  return -1;
}

}  // namespace

std::string FinalTarget(const std::string& target) {
  std::string path = target;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (os::LinkStat(path, info) != 0 || !S_ISLNK(info.st_mode)) return path;
    const std::string link = os::ReadLink(path);
    if (link.empty()) return path;
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  return path;
}

bool Replaceable(const std::string& target) {
  struct stat info {};
  if (os::Stat(target, info) != 0) return errno == ENOENT;
  return S_ISREG(info.st_mode);
}

int CreateTempBeside(const std::string& target, std::string& tempName) {
  tempName = FinalTarget(target) + ".XXXXXX";
  const int fd = os::MakeTempFile(tempName);
  if (fd < 0) return -1;
  struct stat info {};
  const mode_t mode = os::Stat(target, info) == 0 ? info.st_mode & 07777 : 0644;
  if (::fchmod(fd, mode) != 0) {
    const int error = errno;
    ::close(fd);
    os::Unlink(tempName);
    errno = error;
    return -1;
  }
  return fd;
}

int ReplaceFile(const std::string& temp, const std::string& target) {
  return RemoveUnlessRenamed(temp, RenameOver(temp, target));
}

int ReplaceFileUnsynced(const std::string& temp, const std::string& target) {
  return RemoveUnlessRenamed(temp, RenameOverUnsynced(temp, target));
}

int RenameOver(const std::string& temp, const std::string& target) {
  if (RenameOverUnsynced(temp, target) != 0) return -1;
  return FsyncDirectory(FinalFolder(target));
}

int RenameOverUnsynced(const std::string& temp, const std::string& target) {
  if (ArmedFault() != 0 || os::Rename(temp, FinalTarget(target)) != 0) return -1;
  return 0;
}

std::string FinalFolder(const std::string& path) {
  return FolderOf(FinalTarget(path));
}

int FsyncDirectory(const std::string& folder) {
  if (ArmedFault() != 0) return -1;
  const int fd = os::Open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  int result = ::fsync(fd);
  // Some file systems cannot sync a folder; the rename stands all the same.
  if (result != 0 && (errno == EINVAL || errno == EROFS)) result = 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return result;
}

}  // namespace platform
