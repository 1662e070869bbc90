#include "base/files/utilfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "platform/files/cp1252case.h"
#include "platform/files/fileidentity.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"

namespace {

constexpr std::size_t kCopyBlock = 8192;
constexpr std::size_t kCopyBlockSmall = 2048;

bool IsRegular(const std::string& path) {
  struct stat info {};
  return platform::os::Stat(path, info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return platform::os::Stat(path, info) == 0 && S_ISDIR(info.st_mode);
}

std::string FolderOrCurrent(const std::string& dir) {
  return dir.empty() ? "." : dir;
}

bool SameLetter(char a, char b) {
  return platform::Cp1252Lower(static_cast<std::uint8_t>(a)) ==
         platform::Cp1252Lower(static_cast<std::uint8_t>(b));
}

bool CopyData(int in, int out, std::size_t blockSize) {
  std::vector<char> block(blockSize);
  for (;;) {
    const ssize_t n = ::read(in, block.data(), blockSize);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!platform::os::WriteAll(out, block.data(), static_cast<std::size_t>(n))) return false;
  }
}

// Copies the resolved source onto target. A target that is the source is refused before it is
// opened, since opening it for writing would empty the source.
bool CopyContents(const std::string& source, const std::string& target, std::size_t blockSize) {
  const int in = platform::os::Open(platform::ResolveFileName(source), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  if (platform::SameFile(in, target)) {
    ::close(in);
    return false;
  }
  // A file is copied beside the target and replaces it only complete; a device is written to.
  platform::NewOutput out;
  if (platform::OpenOutput(target, out) != 0) {
    ::close(in);
    return false;
  }
  const bool copied = CopyData(in, out.fd, blockSize);
  ::close(in);
  if (copied) return platform::PlaceOutput(out, true) == 0;
  platform::DropOutput(out);
  return false;
}

void Copy(const std::string& source, const std::string& target, std::size_t blockSize) {
  if (!CopyContents(source, target, blockSize)) AbortFlag = 1;
}

std::string LastComponent(const std::string& path) {
  return path.substr(DirOfPath(path).size());
}

}  // namespace

bool FileThere(const std::string& name) {
  const int fd = platform::os::Open(platform::ResolveFileName(name), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool ReadWholeFile(const std::string& name, std::string& bytes, std::size_t limit) {
  bytes.clear();
  const int fd = platform::os::Open(platform::ResolveFileName(name), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::vector<char> block(kCopyBlock);
  ssize_t n = 0;
  while (bytes.size() < limit &&
         ((n = ::read(fd, block.data(), std::min(block.size(), limit - bytes.size()))) > 0 ||
          (n < 0 && errno == EINTR))) {
    if (n > 0) bytes.append(block.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  return n >= 0;
}

bool FolderWritable(const std::string& dir) {
  const std::string base = AddBackslash(dir) + "x.$$$" + IntText(::getpid()) + ".";
  for (std::int32_t n = 0; n < 100; ++n) {
    const std::string probe = base + IntText(n);
    const int fd = platform::os::Open(probe, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    ::close(fd);
    return platform::os::Unlink(probe) == 0;
  }
  return false;
}

bool FolderUsable(const std::string& dir) {
  std::vector<std::string> names;
  return platform::os::FolderEntries(FolderOrCurrent(RemoveBackslash(dir)), names);
}

bool DirExists(const std::string& dir) {
  return IsFolder(RemoveBackslash(dir));
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return AddBackslash(platform::os::CurrentFolder()) + path;
}

void DeleteListFile(const std::string& name) {
  const std::string path = platform::ResolveFileName(name);
  if (!FileThere(path)) return;
  if (platform::os::Unlink(path) != 0) AbortFlag = 1;
}

void DeleteFiles(const std::string& dir, const std::string& mask) {
  for (const std::string& name : MatchingFiles(dir, mask)) platform::os::Unlink(dir + name);
}

bool MaskMatches(const std::string& mask, const std::string& name) {
  if (mask == "*.*") return true;
  std::size_t m = 0, n = 0, starM = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || SameLetter(mask[m], name[n]))) {
      ++m;
      ++n;
    } else if (starM != std::string::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> MatchingFiles(const std::string& dir, const std::string& mask) {
  std::vector<std::string> entries, names;
  platform::os::FolderEntries(FolderOrCurrent(dir), entries);
  for (const std::string& name : entries) {
    if (MaskMatches(mask, name) && IsRegular(dir + name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> UnusableMatchingNames(const std::string& dir, const std::string& mask) {
  std::vector<std::string> entries, unusable, names;
  platform::os::FolderEntries(FolderOrCurrent(dir), entries, &unusable);
  for (const std::string& name : unusable) {
    if (MaskMatches(mask, platform::os::ProgramName(name))) names.push_back(name);
  }
  return names;
}

void CopyFile(const std::string& source, const std::string& dest) {
  const std::string name = LastComponent(platform::ResolveFileName(source));
  const std::string target = IsFolder(dest) ? AddBackslash(dest) + name : dest;
  Copy(source, target, kCopyBlock);
}

void CopyFileInto(const std::string& source, const std::string& dest) {
  if (!FileThere(source)) return;
  const std::string resolved = platform::ResolveFileName(source);
  Copy(resolved, DirOfPath(dest) + LastComponent(resolved), kCopyBlock);
}

void CopyFiles(const std::string& mask, const std::string& srcDir, const std::string& dstDir) {
  const std::string from = AddBackslashDrive(srcDir);
  const std::vector<std::string> names = MatchingFiles(from, mask);
  AbortFlag = names.empty() ? 1 : 0;
  for (const std::string& name : names) CopyFileInto(from + name, AddBackslash(dstDir));
}

void CopyFileBlocks(const std::string& source, const std::string& dest) {
  Copy(source, dest, kCopyBlockSmall);
}
