#pragma once
// The extended attributes a file replaced by a new one keeps: its access list, its security
// labels, its user attributes and, for the superuser, its trusted ones.

#include <string>

namespace platform {

// Gives the new file open as fd exactly the extended attributes the file path names holds, of
// those this process may read: each one the new file lacks or holds with another value is set,
// and each one the old file lacks (such as an access list a folder's default one gave the new
// file) is removed, so that nobody gains or loses access by the replacement. The number of
// attributes changed, or -1 with errno when one could not be read, set or removed.
int TakeExtendedAttributes(int fd, const std::string& path);

}  // namespace platform
