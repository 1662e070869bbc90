#include "platform/files/filelock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/blockfile.h"
#include "platform/files/osfiles.h"

namespace platform {
namespace {

struct flock Request(short type, std::uint64_t offset, std::uint64_t length) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(offset);
  request.l_len = static_cast<off_t>(length);
  request.l_pid = 0;
  return request;
}

int SetOfdLock(int fd, short type, std::uint64_t offset, std::uint64_t length) {
  struct flock request = Request(type, offset, length);
  if (fcntl(fd, F_OFD_SETLK, &request) == 0) return 0;
  if (errno == EAGAIN || errno == EACCES) return 33;
  return IoCodeFromErrno(errno);
}

// The file of a numbered name, made afresh or left by the user's own earlier run; never another
// user's file, which would receive the claimer's data, nor one reached through a link: the
// descriptor, or -1.
int OpenClaimable(const std::string& name) {
  int fd = os::Open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0 || errno != EEXIST) return fd;
  fd = os::Open(name, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  struct stat info {};
  if (fd >= 0 && (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid())) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

int LockRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive) {
  return SetOfdLock(fd, exclusive ? F_WRLCK : F_RDLCK, offset, length);
}

int UnlockRange(int fd, std::uint64_t offset, std::uint64_t length) {
  return SetOfdLock(fd, F_UNLCK, offset, length);
}

bool RangeLockedElsewhere(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive) {
  // Locks of the asking description never conflict with its own request, so they are not seen.
  struct flock request = Request(exclusive ? F_WRLCK : F_RDLCK, offset, length);
  return fcntl(fd, F_OFD_GETLK, &request) != 0 || request.l_type != F_UNLCK;
}

NameClaim ClaimFreeName(const std::function<std::string(int)>& nameOf, int first, int last) {
  NameClaim claim;
  for (int n = first; n <= last; ++n) {
    claim.number = n;
    claim.name = nameOf(n);
    const int fd = OpenClaimable(claim.name);
    if (fd < 0) continue;
    if (LockRange(fd, 0, 1, true) == 0) {
      claim.fd = fd;
      break;
    }
    close(fd);
  }
  return claim;
}

}  // namespace platform
