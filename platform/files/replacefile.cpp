#include "platform/files/replacefile.h"

#include <fcntl.h>
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

// The kernel's protected-links rule, kept whatever the system's setting, since the link chain is
// followed here and not by an open: in a sticky folder everyone may write (such as /tmp), a link
// is followed only when it belongs to the user or to the folder's owner, so that no other user's
// link redirects an output.
bool MayFollow(const std::string& link, const struct stat& info) {
  if (info.st_uid == ::geteuid()) return true;
  struct stat folder {};
  if (os::Stat(FolderOf(link), folder) != 0) return false;
  const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
  return !shared || info.st_uid == folder.st_uid;
}

}  // namespace

std::string FinalTarget(const std::string& target) {
  std::string path;
  struct stat info {};
  FinalTargetStat(target, path, info);
  return path;
}

int FinalTargetStat(const std::string& target, std::string& path, struct stat& info) {
  path = target;
  for (int hop = 0; hop < 40; ++hop) {
    if (os::LinkStat(path, info) != 0) return -1;
    if (!S_ISLNK(info.st_mode)) return 0;
    if (!MayFollow(path, info)) {
      errno = EACCES;
      return -1;
    }
    const std::string link = os::ReadLink(path);
    if (link.empty()) return 0;
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  errno = ELOOP;
  return -1;
}

int RenameOver(const std::string& temp, const std::string& target) {
  if (RenameOverUnsynced(temp, target) != 0) return -1;
  return FsyncDirectory(FinalFolder(target));
}

int RenameOverUnsynced(const std::string& temp, const std::string& target) {
  return RenameStep(temp, FinalTarget(target));
}

int RenameStep(const std::string& from, const std::string& to) {
  if (ArmedFault() != 0 || os::Rename(from, to) != 0) return -1;
  return 0;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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
