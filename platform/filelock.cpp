#include "platform/filelock.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/blockfile.h"

namespace platform {
namespace {

int SetOfdLock(int fd, short type, std::uint64_t offset, std::uint64_t length) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(offset);
  request.l_len = static_cast<off_t>(length);
  request.l_pid = 0;
  if (fcntl(fd, F_OFD_SETLK, &request) == 0) return 0;
  if (errno == EAGAIN || errno == EACCES) return 33;
  return IoCodeFromErrno(errno);
}

}  // namespace

int LockRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive) {
  return SetOfdLock(fd, exclusive ? F_WRLCK : F_RDLCK, offset, length);
}

int UnlockRange(int fd, std::uint64_t offset, std::uint64_t length) {
  return SetOfdLock(fd, F_UNLCK, offset, length);
}

}  // namespace platform
