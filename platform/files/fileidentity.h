#pragma once
// Which file a path or an open file is: device and inode, so that two spellings of one file
// (another letter case, a symlink, a relative path) are known to be the same file.

#include <cstdint>
#include <string>

#include "platform/files/blockfile.h"

namespace platform {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// False (with errno) when the file cannot be asked; a path is followed through symlinks.
bool IdentityOfPath(const std::string& path, FileIdentity& identity);
bool IdentityOfDescriptor(int fd, FileIdentity& identity);
bool IdentityOfFile(const BlockFile& file, FileIdentity& identity);

// True when both name one existing file.
bool SameFile(int fd, const std::string& path);

}  // namespace platform
