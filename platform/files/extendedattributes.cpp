#include "platform/files/extendedattributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <map>

#include "platform/files/osfiles.h"

namespace platform {
namespace {

using Attributes = std::map<std::string, std::string>;

constexpr int kReadTries = 3;

// A name list or value that read(buffer, size) gives, and measures for size 0; read again where
// it grew in between. False with errno when it cannot be read.
template <typename Read>
bool ReadSized(const Read& read, std::string& bytes) {
  for (int attempt = 0; attempt < kReadTries; ++attempt) {
    const ssize_t size = read(nullptr, 0);
    if (size < 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    const ssize_t got = read(bytes.data(), bytes.size());
    if (got >= 0) {
      bytes.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;
  }
  return false;
}

// The attributes of one file, whose names list gives and whose values get gives by name. A file
// system without extended attributes holds none; one removed while it is read is left out.
template <typename List, typename Get>
bool ReadAttributes(const List& list, const Get& get, Attributes& attributes) {
  std::string names;
  if (!ReadSized(list, names)) return errno == ENOTSUP;
  for (std::size_t at = 0; at < names.size();) {
    const std::string name(names.c_str() + at);
    at += name.size() + 1;
    std::string value;
    const auto read = [&](char* bytes, std::size_t size) { return get(name.c_str(), bytes, size); };
    if (ReadSized(read, value)) {
      attributes[name] = value;
    } else if (errno != ENODATA) {
      return false;
    }
  }
  return true;
}

bool ReadOfPath(const std::string& path, Attributes& attributes) {
  return ReadAttributes(
      [&](char* names, std::size_t size) { return os::ListAttributes(path, names, size); },
      [&](const char* name, char* value, std::size_t size) {
        return os::GetAttribute(path, name, value, size);
      },
      attributes);
}

bool ReadOfOpenFile(int fd, Attributes& attributes) {
  return ReadAttributes(
      [fd](char* names, std::size_t size) { return ::flistxattr(fd, names, size); },
      [fd](const char* name, char* value, std::size_t size) {
        return ::fgetxattr(fd, name, value, size);
      },
      attributes);
}

}  // namespace

int TakeExtendedAttributes(int fd, const std::string& path) {
  Attributes old;
  Attributes made;
  if (!ReadOfPath(path, old) || !ReadOfOpenFile(fd, made)) return -1;
  int changed = 0;
  for (const auto& [name, value] : made) {
    if (old.count(name) != 0) continue;
    if (::fremovexattr(fd, name.c_str()) != 0) return -1;
    ++changed;
  }
  for (const auto& [name, value] : old) {
    const auto held = made.find(name);
    if (held != made.end() && held->second == value) continue;
    if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) return -1;
    ++changed;
  }
  return changed;
}

}  // namespace platform
