#include "platform/files/newoutput.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files/extendedattributes.h"
#include "platform/files/filefaults.h"
#include "platform/files/fileidentity.h"
#include "platform/files/filelock.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"

namespace platform {
namespace {

constexpr const char* kLinkSuffix = ".new$";
constexpr int kUniqueNameTries = 100;
// Another output to the same target may take the link name between our link and our rename.
constexpr int kPlaceTries = 3;
// A writer under a name of its own holds this byte of its new file locked until the file takes its
// place or is given up, so that a later output sees it live even where its pid means nothing, as
// from another pid namespace (a container or sandbox sharing the folder). No lock of the table
// engine reaches this far.
constexpr std::uint64_t kWriterByte = std::uint64_t{1} << 41;

// A file without a name is linked in through /proc/self/fd, which a chroot or a sandbox may
// lack, and a file system a test makes refuses such files: true then, with errno EOPNOTSUPP.
bool UnnamedUnusable() {
  const FileFaults* faults = ArmedFileFaults();
  struct stat proc {};
  const bool refused = faults != nullptr && faults->UnnamedFilesRefused();
  if (!refused && ::stat("/proc/self/fd", &proc) == 0) return false;
  errno = EOPNOTSUPP;
  return true;
}

int CloseChecked(int fd) {
  return ::close(fd) == 0 ? 0 : -1;
}

// Closes fd, removes temp when there is one, and fails with error.
int GiveUp(int fd, const std::string& temp, int error) {
  if (fd >= 0) ::close(fd);
  if (!temp.empty()) os::Unlink(temp);
  errno = error;
  return -1;
}

// Only the superuser gives a file another owner, and a user gives it only a group of their own;
// ids the user namespace does not map cannot be given either: false then, with errno EPERM.
bool TakeOwner(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return true;
  if (errno == EINVAL) errno = EPERM;
  return false;
}

// Another user's file in a sticky folder (such as /tmp) may be written but not renamed over.
bool OthersFileInStickyFolder(const std::string& target, const struct stat& info) {
  const uid_t user = ::geteuid();
  if (info.st_uid == user || user == 0) return false;
  struct stat folder {};
  return os::Stat(FolderOf(target), folder) == 0 && (folder.st_mode & S_ISVTX) != 0 &&
         folder.st_uid != user;
}

int OpenInPlace(const std::string& name, NewOutput& output) {
  const int fd = os::Open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return -1;
  output.fd = fd;
  output.target = name;
  output.inPlace = true;
  return 0;
}

// Where the file system makes no file without a name, a new file is named
// "<target>.<host>-<pid>-<random>$": host and pid, with the writer's byte, tell a later output to
// the same target whether the program that wrote it still runs, and the random part, which no
// other user can foresee, keeps their files from taking every name the writer would try. The part
// up to the pid:
std::string UniqueNameStart(const std::string& target) {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  return target + "." + host + "-";
}

constexpr std::size_t kRandomDigits = 16;
constexpr std::string_view kHexDigits = "0123456789abcdef";

// kRandomDigits lowercase hex digits the kernel draws: false with errno where it draws none.
bool RandomPart(std::string& digits) {
  std::uint64_t value = 0;
  if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) return false;
  digits.assign(kRandomDigits, '0');
  for (std::size_t at = kRandomDigits; at-- > 0; value >>= 4) digits[at] = kHexDigits[value & 15];
  return true;
}

// The writer's pid in the rest "<pid>-<random>$" of a unique name, or 0 when rest is not exactly
// as the output code writes it: the pid in decimal without a leading zero.
pid_t WriterOf(std::string_view rest) {
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash == 0 || rest[0] == '0' ||
      rest.size() != dash + kRandomDigits + 2 || rest.back() != '$' ||
      rest.substr(dash + 1, kRandomDigits).find_first_not_of(kHexDigits) != std::string_view::npos)
    return 0;
  pid_t writer = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + dash, writer);
  return error == std::errc{} && end == rest.data() + dash ? writer : 0;
}

// Removes the leftover path once its writer is known to be gone: no program of its pid runs here
// and nobody holds its writer's byte. The name must still hold the file looked at, since a new
// writer may have made a file under it meanwhile.
void RemoveIfWriterGone(const std::string& path, pid_t writer) {
  if (::kill(writer, 0) == 0 || errno != ESRCH) return;
  const int fd = os::Open(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  if (!RangeLockedElsewhere(fd, kWriterByte, 1) && SameFile(fd, path)) os::Unlink(path);
  ::close(fd);
}

// Removes the new files that programs of this machine, killed while they wrote the output, left
// under names beginning with start. Another machine's files are left: its pids mean nothing here.
void RemoveLeftovers(const std::string& start) {
  const std::string folder = FolderOf(start);
  const std::string leaf = start.substr(start.find_last_of('/') + 1);
  std::vector<std::string> names;
  os::FolderEntries(folder, names);
  for (const std::string& name : names) {
    if (!name.starts_with(leaf)) continue;
    const pid_t writer = WriterOf(std::string_view(name).substr(leaf.size()));
    if (writer > 0) RemoveIfWriterGone(folder + "/" + name, writer);
  }
}

// Gives the new file a unique name beside target through give, which is false with errno EEXIST
// for a name already taken, after the leftovers of writers gone are removed: 0, or -1 with errno.
int TakeUniqueName(const std::string& target, std::string& name,
                   const std::function<bool(const std::string&)>& give) {
  const std::string start = UniqueNameStart(target);
  RemoveLeftovers(start);
  const std::string own = start + std::to_string(::getpid()) + "-";
  std::string random;
  for (int attempt = 0; attempt < kUniqueNameTries; ++attempt) {
    if (!RandomPart(random)) return -1;
    name = own + random + "$";
    if (give(name)) return 0;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Takes the writer's byte of the new file just made as name. A later output that found the name
// before the lock was taken may have removed the file meanwhile: false then, with errno EEXIST, so
// that another name is tried. Where the file system keeps no such locks, the pid alone tells.
bool HoldName(int fd, const std::string& name) {
  LockRange(fd, kWriterByte, 1, true);
  if (SameFile(fd, name)) return true;
  ::close(fd);
  errno = EEXIST;
  return false;
}

// Where the link name cannot be taken, the file without a name is linked under a unique name,
// held as its writer's before the name shows, which then takes the target's place at once.
int LinkUniqueAndRename(int fd, const std::string& target) {
  std::string name;
  LockRange(fd, kWriterByte, 1, true);
  const auto link = [fd](const std::string& candidate) {
    return os::LinkOpenFile(fd, candidate) == 0;
  };
  if (TakeUniqueName(target, name, link) != 0) return GiveUp(fd, "", errno);
  if (RenameStep(name, target) != 0) return GiveUp(fd, name, errno);
  return CloseChecked(fd);
}

// The new file in the target's folder: without a name where the file system can make one, else
// under a unique name. old is the target's lstat, nullptr for a new target.
int OpenBeside(const std::string& target, const struct stat* old, NewOutput& output) {
  const mode_t mode = old != nullptr ? old->st_mode & 0777 : 0666;
  std::string temp;
  int fd = UnnamedUnusable() ? -1 : os::OpenUnnamed(FolderOf(target), mode);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR))
    fd = CreateUniqueBeside(target, mode, temp);
  if (fd < 0) return -1;
  if (old != nullptr && TakeAttributes(fd, target, *old) != 0) return GiveUp(fd, temp, errno);
  output.fd = fd;
  output.target = target;
  output.temp = temp;
  return 0;
}

// Links the file without a name under the link name and renames that over the target at once. A
// link name the user's kill left between the two is removed; where another user's file holds it,
// or other outputs to the same target keep taking it, a unique name serves instead. Another
// output that takes the link name meanwhile puts at worst its own complete file in place.
int LinkAndRename(int fd, const std::string& target) {
  const std::string link = target + kLinkSuffix;
  int error = EEXIST;
  for (int attempt = 0; attempt < kPlaceTries; ++attempt) {
    if (os::LinkOpenFile(fd, link) != 0) {
      error = errno;
      if (error != EEXIST || RemoveLeftover(link) != 0) break;
      continue;
    }
    if (RenameStep(link, target) == 0) return CloseChecked(fd);
    error = errno;
    // The other output removed our link, or renamed it over the target itself.
    if (error == ENOENT && SameFile(fd, target)) return CloseChecked(fd);
    if (error != ENOENT) {
      if (SameFile(fd, link)) os::Unlink(link);
      break;
    }
  }
  if (error == EEXIST) return LinkUniqueAndRename(fd, target);
  return GiveUp(fd, "", error);
}

// Closes a copy of fd, which reports what a close reports of the writes (as a network file system
// does), while fd stays open: 0, or -1 with errno.
int CloseCopy(int fd) {
  const int copy = ::dup(fd);
  return copy >= 0 ? CloseChecked(copy) : -1;
}

// The descriptor holds the writer's byte until the new file has taken the target's place.
int RenameNamed(const NewOutput& output) {
  if (output.fd >= 0 && CloseCopy(output.fd) != 0) return GiveUp(output.fd, output.temp, errno);
  if (RenameStep(output.temp, output.target) != 0) return GiveUp(output.fd, output.temp, errno);
  if (output.fd >= 0) ::close(output.fd);
  return 0;
}

// The file name finally names, and what lstat says of it, with exists false for a new name: 0, or
// -1 with errno where the name cannot be looked up or holds a link that may not be followed.
int LookUpTarget(const std::string& name, std::string& target, struct stat& info, bool& exists) {
  exists = FinalTargetStat(name, target, info) == 0;
  return exists || errno == ENOENT ? 0 : -1;
}

}  // namespace

int OpenOutput(const std::string& name, NewOutput& output) {
  output = NewOutput{};
  std::string target;
  struct stat info {};
  bool exists = false;
  if (LookUpTarget(name, target, info, exists) != 0) return -1;
  if (!exists) return OpenBeside(target, nullptr, output);
  if (ReplacedInPlace(target, info)) return OpenInPlace(name, output);
  // Renaming over the file needs only the folder: the file's own refusal stands all the same.
  if (!os::Accessible(target, W_OK)) return -1;
  if (OpenBeside(target, &info, output) == 0) return 0;
  const int error = errno;
  if (WrittenInPlaceInstead(error) && OpenInPlace(name, output) == 0) return 0;
  errno = error;
  return -1;
}

int OpenReplacement(const std::string& name, NewOutput& output) {
  output = NewOutput{};
  std::string target;
  struct stat info {};
  bool exists = false;
  if (LookUpTarget(name, target, info, exists) != 0) return -1;
  return OpenBeside(target, exists ? &info : nullptr, output);
}

int CreateNamedReplacement(const std::string& name, bool nameHeld, NewOutput& output) {
  output = NewOutput{};
  std::string target;
  struct stat info {};
  bool exists = false;
  if (LookUpTarget(name, target, info, exists) != 0) return -1;
  const mode_t mode = exists ? info.st_mode & 0777 : 0666;
  std::string temp = target + kLinkSuffix;
  // Another user's file under the fixed name is left alone: a unique name serves instead.
  const int fd =
      nameHeld ? CreateAfreshOrBeside(target, mode, temp) : CreateUniqueBeside(target, mode, temp);
  if (fd < 0) return -1;
  if (exists && TakeAttributes(fd, target, info) != 0) return GiveUp(fd, temp, errno);
  output.fd = fd;
  output.target = target;
  output.temp = temp;
  return 0;
}

int PlaceOutput(NewOutput& output, bool syncFolder) {
  const NewOutput placing = std::exchange(output, NewOutput{});
  if (placing.inPlace) return CloseChecked(placing.fd);
  const int placed =
      placing.temp.empty() ? LinkAndRename(placing.fd, placing.target) : RenameNamed(placing);
  if (placed != 0 || !syncFolder) return placed;
  return FsyncDirectory(FolderOf(placing.target));
}

void DropOutput(NewOutput& output) {
  const NewOutput dropping = std::exchange(output, NewOutput{});
  if (dropping.fd >= 0) ::close(dropping.fd);
  if (!dropping.temp.empty()) os::Unlink(dropping.temp);
}

int WriteWholeOutput(NewOutput& output, std::string_view bytes, bool syncFolder) {
  if (os::WriteAll(output.fd, bytes.data(), bytes.size())) return PlaceOutput(output, syncFolder);
  const int error = errno;
  DropOutput(output);
  errno = error;
  return -1;
}

// A new file in the target's place would not be what the user names: a device or FIFO would turn
// into a file, and other hard links would keep the old contents.
bool ReplacedInPlace(const std::string& target, const struct stat& info) {
  return !S_ISREG(info.st_mode) || info.st_nlink > 1 || OthersFileInStickyFolder(target, info);
}

int CreateAfresh(const std::string& name, mode_t mode) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = os::Open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
    if (RemoveLeftover(name) != 0) return -1;
  }
  errno = EEXIST;
  return -1;
}

int CreateUniqueBeside(const std::string& target, mode_t mode, std::string& name) {
  int fd = -1;
  const auto create = [&fd, mode](const std::string& candidate) {
    fd = os::Open(candidate, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    return fd >= 0 && HoldName(fd, candidate);
  };
  return TakeUniqueName(target, name, create) == 0 ? fd : -1;
}

int CreateAfreshOrBeside(const std::string& target, mode_t mode, std::string& name) {
  const int fd = CreateAfresh(name, mode);
  return fd < 0 && errno == EEXIST ? CreateUniqueBeside(target, mode, name) : fd;
}

int RemoveLeftover(const std::string& name) {
  struct stat info {};
  if (os::LinkStat(name, info) != 0) return errno == ENOENT ? 0 : -1;
  if (info.st_uid != ::geteuid()) {
    errno = EEXIST;
    return -1;
  }
  return os::Unlink(name) == 0 || errno == ENOENT ? 0 : -1;
}

int TakeAttributes(int fd, const std::string& path, const struct stat& old) {
  struct stat made {};
  if (::fstat(fd, &made) != 0) return -1;
  // A change of owner or group may clear the set-ID bits, and an access list sets the group bits
  // from its mask: the mode then gives back both, the old mask being the old group bits.
  const bool ownerChanged = made.st_uid != old.st_uid || made.st_gid != old.st_gid;
  if (ownerChanged && !TakeOwner(fd, old)) return -1;
  const int attributesChanged = TakeExtendedAttributes(fd, path);
  if (attributesChanged < 0) return -1;
  if (!ownerChanged && attributesChanged == 0 && (made.st_mode & 07777) == (old.st_mode & 07777))
    return 0;
  return ::fchmod(fd, old.st_mode & 07777);
}

// A folder that takes no new file or leaves no name of its own free, or an owner, group or
// attributes (an access list, a label) that a new file may not be given or the file system keeps
// for no new file.
bool WrittenInPlaceInstead(int error) {
  return error == EACCES || error == EPERM || error == ENOTSUP || error == EEXIST;
}

// Files the program names for its own brief use.

int WriteFreshFile(const std::string& target, std::string_view bytes, std::string& made) {
  made = target;
  const int fd = CreateAfreshOrBeside(target, 0666, made);
  const bool written = fd >= 0 && os::WriteAll(fd, bytes.data(), bytes.size());
  if (written && CloseChecked(fd) == 0) return 0;
  const int error = errno;
  if (fd >= 0 && !written) ::close(fd);
  if (fd >= 0) os::Unlink(made);
  made.clear();
  errno = error;
  return -1;
}

}  // namespace platform
