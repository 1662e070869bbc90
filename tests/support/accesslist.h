#pragma once
// An access list and extended attributes as the system keeps them, for tests of files that keep
// or lose them.

#include <sys/xattr.h>

#include <cstdint>
#include <string>

// The access list user::rw-,user:<user>:rw-,group::r--,mask::rw-,other::--- as the system keeps it.
inline std::string AccessList(std::uint32_t user) {
  const std::uint32_t none = ~0u;
  const std::uint32_t words[] = {2,    0x60001, none, 0x60002, user, 0x40004,
                                 none, 0x60010, none, 0x20,    none};
  return std::string(reinterpret_cast<const char*>(words), sizeof words);
}

inline std::string AttributeOf(const std::string& path, const char* name) {
  char value[256];
  const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
  return size < 0 ? "" : std::string(value, static_cast<std::size_t>(size));
}
