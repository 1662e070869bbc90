#include "platform/files/blockfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/files/filefaults.h"
#include "platform/files/filelock.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"

namespace platform {
namespace {

bool ModeIsShared(std::uint16_t mode) {
  return (mode & 0x70) == 0x40;
}
bool ModeWrites(std::uint16_t mode) {
  return (mode & 3) != 0;
}

// A refused share lock is a sharing violation, not a lock violation.
int ShareLockCode(int code) {
  return code == 33 ? 32 : code;
}

}  // namespace

int IoCodeFromErrno(int err, bool writing) {
  switch (err) {
    case ENOENT:
      return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
      return 5;
    case EBADF:
      return 6;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return 101;
    case EXDEV:
      return 17;
    case EEXIST:
      return 80;
    default:
      return writing ? 101 : 100;
  }
}

BlockFile::~BlockFile() {
  Close();
}

BlockFile::BlockFile(BlockFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      writable_(other.writable_),
      shareExclusive_(other.shareExclusive_),
      changes_(other.changes_) {}

BlockFile& BlockFile::operator=(BlockFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = other.writable_;
    shareExclusive_ = other.shareExclusive_;
    changes_ = std::max(changes_, other.changes_) + 1;
  }
  return *this;
}

int BlockFile::Open(const std::string& path, std::uint16_t mode) {
  Close();
  bool exclusive = !ModeIsShared(mode);
  // A write lock needs a writable descriptor, so a read-only exclusive open still asks for
  // write access; it never writes, and falls back to the shared lock where it cannot.
  bool wantWrite = ModeWrites(mode) || exclusive;
  int fd = os::Open(path, (wantWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0 && wantWrite && !ModeWrites(mode) && (errno == EACCES || errno == EROFS)) {
    fd = os::Open(path, O_RDONLY | O_CLOEXEC);
    wantWrite = false;
    exclusive = false;
  }
  if (fd < 0) return IoCodeFromErrno(errno);
  int code = LockRange(fd, kShareByteOffset, 1, exclusive);
  if (code != 0) {
    close(fd);
    return ShareLockCode(code);
  }
  fd_ = fd;
  writable_ = wantWrite && ModeWrites(mode);
  shareExclusive_ = exclusive;
  return 0;
}

int BlockFile::Create(const std::string& path) {
  Close();
  std::string target;
  struct stat info {};
  const bool exists = FinalTargetStat(path, target, info) == 0;
  if (!exists && errno != ENOENT) return IoCodeFromErrno(errno, true);
  // A new name is made, never found: a file or link put there meanwhile is left alone. An existing
  // file is written in place, never through a link put there meanwhile.
  const int fd =
      os::Open(target, O_RDWR | O_NOFOLLOW | O_CLOEXEC | (exists ? 0 : O_CREAT | O_EXCL), 0666);
  if (fd < 0) return IoCodeFromErrno(errno, true);
  // Emptied only once the share lock is ours, so another holder's file is never cut.
  if (const int code = Adopt(fd); code != 0) return code;
  if (ftruncate(fd_, 0) != 0) {
    const int code = IoCodeFromErrno(errno, true);
    Close();
    return ShareLockCode(code);
  }
  return 0;
}

int BlockFile::Adopt(int fd) {
  Close();
  const int code = LockRange(fd, kShareByteOffset, 1, true);
  if (code != 0) {
    close(fd);
    return ShareLockCode(code);
  }
  fd_ = fd;
  writable_ = true;
  shareExclusive_ = true;
  return 0;
}

void BlockFile::Close() {
  ++changes_;
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  writable_ = false;
  shareExclusive_ = false;
}

int BlockFile::ConvertShare(bool exclusive) {
  if (fd_ < 0) return 6;
  if (exclusive == shareExclusive_) return 0;
  if (exclusive && !writable_) return 5;
  int code = LockRange(fd_, kShareByteOffset, 1, exclusive);
  if (code != 0) return ShareLockCode(code);
  ++changes_;
  shareExclusive_ = exclusive;
  return 0;
}

int BlockFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t& done) const {
  done = 0;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (done < n) {
    ssize_t got = pread(fd_, bytes + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return IoCodeFromErrno(errno);
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return 0;
}

int BlockFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t n,
                       std::size_t& done) const {
  done = 0;
  if (!writable_) return fd_ < 0 ? 6 : 5;
  ++changes_;
  if (FileFaults* faults = ArmedFileFaults(); faults != nullptr) {
    if (const int code = faults->WriteFault(); code != 0) return code;
  }
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  while (done < n) {
    ssize_t put = pwrite(fd_, bytes + done, n - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      return IoCodeFromErrno(errno, true);
    }
    if (put == 0) return 101;
    done += static_cast<std::size_t>(put);
  }
  return 0;
}

int BlockFile::Size(std::uint64_t& size) const {
  struct stat info {};
  if (fstat(fd_, &info) != 0) return IoCodeFromErrno(errno);
  size = static_cast<std::uint64_t>(info.st_size);
  return 0;
}

int BlockFile::Truncate(std::uint64_t size) const {
  if (!writable_) return 5;
  ++changes_;
  while (ftruncate(fd_, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) return IoCodeFromErrno(errno, true);
  }
  return 0;
}

int BlockFile::Sync() const {
  if (FileFaults* faults = ArmedFileFaults(); faults != nullptr) {
    if (const int err = faults->SyncOrRenameFault(); err != 0) return IoCodeFromErrno(err, true);
  }
  if (fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) return IoCodeFromErrno(errno, true);
  return 0;
}

}  // namespace platform
