#include "platform/files/fileidentity.h"

#include <sys/stat.h>

#include "platform/files/osfiles.h"

namespace platform {
namespace {

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

bool IdentityOfPath(const std::string& path, FileIdentity& identity) {
  struct stat info {};
  if (os::Stat(path, info) != 0) return false;
  identity = IdentityOf(info);
  return true;
}

bool IdentityOfDescriptor(int fd, FileIdentity& identity) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  identity = IdentityOf(info);
  return true;
}

bool IdentityOfFile(const BlockFile& file, FileIdentity& identity) {
  return file.IsOpen() && IdentityOfDescriptor(file.Descriptor(), identity);
}

bool SameFile(int fd, const std::string& path) {
  FileIdentity open, named;
  return IdentityOfDescriptor(fd, open) && IdentityOfPath(path, named) && open == named;
}

}  // namespace platform
