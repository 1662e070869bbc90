#include "tables/core/dbf4packcommit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/files/blockfile.h"
#include "platform/files/fileidentity.h"
#include "platform/files/filelock.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tztext.h"

namespace dadav {
namespace {

constexpr std::string_view kMarkerMagic = "KV6 PACK\n";

// A file of the pack: beside the file the name of the table or memo file finally leads to, so
// that it is renamed within one file system even when that name is a symlink to another one.
std::string PackFileName(const std::string& name, std::string_view ext) {
  const std::string file = platform::FinalTarget(name);
  return file + "." + CompanionExt(file, ext);
}

std::string MarkerName(const std::string& table) {
  return PackFileName(table, "packed$");
}

// The marker while it is written: renamed to its name only once whole.
std::string MarkerDraftName(const std::string& table) {
  return PackFileName(table, "packing$");
}

bool Exists(const std::string& path) {
  struct stat info {};
  return platform::os::Stat(path, info) == 0;
}

std::string LeafOf(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// The user a new file of the pack is given: the owner of the file it replaces, which the name
// leads to.
uid_t OwnerOf(const std::string& file) {
  struct stat info {};
  return platform::os::Stat(file, info) == 0 ? info.st_uid : ::geteuid();
}

// A file the engine made for a table: a regular file of one name, given the owner of the file it
// replaces or still the running user's. No other user can make one, so another user's file
// planted under a pack's name is never renamed in nor removed.
bool MadeForTable(const std::string& path, uid_t owner) {
  struct stat info {};
  return platform::os::LinkStat(path, info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
         (info.st_uid == owner || info.st_uid == ::geteuid());
}

void RemoveIfMadeForTable(const std::string& path, uid_t owner) {
  if (MadeForTable(path, owner)) platform::os::Unlink(path);
}

int ErrnoCode() {
  return platform::IoCodeFromErrno(errno, true);
}

// A new file of the pack for the file replaced, whose stat is old, under name or a name of its own
// (made), with the replaced file's owner, group, mode and attributes: the descriptor, or -1 with
// errno (EPERM where the new file cannot keep the owner, group or attributes).
int NewPackFile(const std::string& replaced, const std::string& name, std::string& made) {
  std::string target;
  struct stat old {};
  if (platform::FinalTargetStat(replaced, target, old) != 0) return -1;
  made = name;
  const int fd = platform::CreateAfreshOrBeside(target, old.st_mode & 0777, made);
  if (fd < 0) {
    made.clear();
    return -1;
  }
  if (platform::TakeAttributes(fd, target, old) == 0) return fd;
  const int error = platform::WrittenInPlaceInstead(errno) ? EPERM : errno;
  ::close(fd);
  platform::os::Unlink(made);
  errno = error;
  return -1;
}

// Only the table's own memo file, "<table name>.dbt" or ".fpt" in any letter case, beside it:
// a damaged marker never renames another file.
bool IsMemoOf(const std::string& table, const std::string& memo) {
  std::string dir, name, ext;
  FSplit(table, dir, name, ext);
  const std::string upper = UpperStr(memo);
  return upper == UpperStr(name + ".DBT") || upper == UpperStr(name + ".FPT");
}

std::string MemoPath(const std::string& table, const std::string& memo) {
  std::string dir, name, ext;
  FSplit(table, dir, name, ext);
  return dir + memo;
}

// The path of a new file the marker names (leaf) beside file, which is the file's own name and a
// suffix, never in another folder: "" for a name that is not one of a pack.
std::string PackPathBeside(const std::string& file, const std::string& leaf) {
  const std::string target = platform::FinalTarget(file);
  const std::string own = LeafOf(target) + ".";
  if (leaf.size() <= own.size() || !leaf.starts_with(own) || leaf.back() != '$' ||
      leaf.find('/') != std::string::npos)
    return {};
  return platform::FolderOf(target) + "/" + leaf;
}

// The lines of the marker after its magic; false for a marker that is not one of ours.
bool MarkerLines(const std::string& table, std::vector<std::string>& lines) {
  std::string bytes;
  if (!platform::os::ReadWholeFile(MarkerName(table), bytes)) return false;
  if (bytes.size() < kMarkerMagic.size() + 1 ||
      bytes.compare(0, kMarkerMagic.size(), kMarkerMagic) != 0 || bytes.back() != '\n')
    return false;
  for (std::size_t at = kMarkerMagic.size(), end = 0; at < bytes.size(); at = end + 1) {
    end = bytes.find('\n', at);
    lines.push_back(bytes.substr(at, end - at));
  }
  return true;
}

// The files the marker names: the memo file, and the new files where it names them (a marker of
// an earlier version names the memo file alone, its new files having their usual names); false
// for a marker that is not one of ours.
bool ReadMarker(const std::string& table, PackFiles& files) {
  std::vector<std::string> lines;
  if (!MarkerLines(table, lines) || (lines.size() != 1 && lines.size() != 3) ||
      !IsMemoOf(table, lines[0]))
    return false;
  files.memo = MemoPath(table, lines[0]);
  files.newTable = lines.size() == 1 ? PackedTableName(table) : PackPathBeside(table, lines[1]);
  files.newMemo =
      lines.size() == 1 ? PackedMemoName(files.memo) : PackPathBeside(files.memo, lines[2]);
  return !files.newTable.empty() && !files.newMemo.empty();
}

// The memo files either kind of memo would have beside the table, as they are spelt there.
std::vector<std::string> PossibleMemoFiles(const std::string& table) {
  std::string dir, name, ext;
  FSplit(table, dir, name, ext);
  return {platform::ResolveFileName(dir + name + "." + CompanionExt(table, "DBT")),
          platform::ResolveFileName(dir + name + "." + CompanionExt(table, "FPT"))};
}

int FsyncFolderOf(const std::string& file) {
  return platform::FsyncDirectory(platform::FinalFolder(file)) != 0 ? ErrnoCode() : 0;
}

// Settling a crashed pack takes a turn at this byte of the file the table's name leads to, and,
// before it renames the packed table in, at the same byte of the packed table, so that a program
// that comes to settle the same pack meanwhile waits for it on whichever file the name then leads
// to, and finds it settled.
constexpr std::uint64_t kSettleByte = platform::kShareByteOffset + 1;
// A settle is a few renames and syncs; it is waited for as long as the database lock is.
constexpr std::uint32_t kSettleWaitMs = 10000;

bool Leftover(const std::string& table, uid_t owner) {
  return MadeForTable(MarkerName(table), owner) || MadeForTable(PackedTableName(table), owner);
}

// This program's turn at settling a crashed pack of the table, and the table's share lock while
// the pack's files are dealt with, so that the files of a pack another program runs right now
// are never touched.
class SettleTurn {
 public:
  SettleTurn() = default;
  ~SettleTurn() {
    if (packed_ >= 0) close(packed_);
    if (table_ >= 0) close(table_);
  }
  SettleTurn(const SettleTurn&) = delete;
  SettleTurn& operator=(const SettleTurn&) = delete;

  // Waits for the turn on the file the table's name leads to: 0, 33 when the time ran out, or
  // the I/O code.
  int Wait(const std::string& table) {
    table_ = platform::os::Open(table, O_RDWR | O_CLOEXEC);
    if (table_ < 0) return platform::IoCodeFromErrno(errno);
    return WaitForRegion(table_, look_, kSettleByte, 1, true, kSettleWaitMs);
  }
  // The share lock of that file, exclusive to replace it: 0, 33 while another program has it
  // open in a mode that conflicts, or the I/O code.
  int Share(bool exclusive) const {
    return platform::LockRange(table_, platform::kShareByteOffset, 1, exclusive);
  }
  // Whether the name still leads to that file, which a pack's rename may have replaced.
  bool StillNamed(const std::string& table) const { return platform::SameFile(table_, table); }
  // Takes the turn on the packed table as well, when there is one to rename in: 0 or the I/O
  // code.
  int TakeOnPacked(const std::string& packed) {
    packed_ = platform::os::Open(packed, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    // A link under the name is no file of the pack: the swap leaves it alone.
    if (packed_ < 0)
      return errno == ENOENT || errno == ELOOP ? 0 : platform::IoCodeFromErrno(errno);
    return platform::LockRange(packed_, kSettleByte, 1, false);
  }

 private:
  int table_ = -1;
  TurnstileLook look_;
  int packed_ = -1;
};

}  // namespace

std::string PackedTableName(const std::string& table) {
  return PackFileName(table, "pack$");
}

std::string PackedMemoName(const std::string& memo) {
  return PackFileName(memo, "packmemo$");
}

int CreatePackedFile(const std::string& replaced, const std::string& name,
                     platform::BlockFile& file, std::string& made) {
  const int fd = NewPackFile(replaced, name, made);
  if (fd < 0 && errno == EPERM) {
    ReportError(5, "Cannot pack " + replaced +
                       ": a new file cannot keep its owner, group or access list [Pack]");
    return -1;
  }
  if (fd < 0) return ErrnoCode();
  const int code = file.Adopt(fd);
  if (code != 0) platform::os::Unlink(made);
  return code;
}

int CommitPackedFiles(const std::string& table, const PackFiles& files) {
  // A table alone is swapped by one rename, which commits by itself: no marker, and none of the
  // syncs that go with it.
  if (files.memo.empty()) return 0;
  // The marker's name is the one a later open looks for; another user's file there is neither
  // replaced nor removed.
  struct stat held {};
  if (platform::os::LinkStat(MarkerName(table), held) == 0 &&
      !MadeForTable(MarkerName(table), OwnerOf(table))) {
    ReportError(
        5, "Cannot pack " + table + ": another user's file holds " + MarkerName(table) + " [Pack]");
    return -1;
  }
  const std::string bytes = std::string(kMarkerMagic) + LeafOf(files.memo) + "\n" +
                            LeafOf(files.newTable) + "\n" + LeafOf(files.newMemo) + "\n";
  std::string draft;
  const int fd = NewPackFile(table, MarkerDraftName(table), draft);
  if (fd < 0) return ErrnoCode();
  platform::BlockFile marker;
  int code = marker.Adopt(fd);
  std::size_t done = 0;
  if (code == 0) code = marker.WriteAt(0, bytes.data(), bytes.size(), done);
  if (code == 0 && done < bytes.size()) code = 101;
  if (code == 0) code = marker.Sync();
  marker.Close();
  // The rename commits; the folder's sync makes it and the new files' entries durable.
  if (code == 0 && platform::RenameOver(draft, MarkerName(table)) != 0) code = ErrnoCode();
  if (code != 0) platform::os::Unlink(draft);
  return code;
}

int FinishPackedFiles(const std::string& table, const PackFiles& files, bool& nothingReplaced) {
  const std::string& memo = files.memo;
  const uid_t owner = OwnerOf(table);
  const bool memoPending = !memo.empty() && MadeForTable(files.newMemo, OwnerOf(memo));
  const bool tablePending = MadeForTable(files.newTable, owner);
  nothingReplaced = false;
  // Back to back, with no sync between them: other programs that open the table between the two
  // renames read the old table beside the packed memo file, and the shorter that time, the
  // fewer crashes fall into it.
  if (memoPending && platform::RenameOverUnsynced(files.newMemo, memo) != 0) {
    const int code = ErrnoCode();
    nothingReplaced = tablePending && Exists(files.newMemo);
    return code;
  }
  if (tablePending && platform::RenameOverUnsynced(files.newTable, table) != 0) {
    const int code = ErrnoCode();
    nothingReplaced = memo.empty() && Exists(files.newTable);
    return code;
  }
  const bool memoElsewhere =
      !memo.empty() && platform::FinalFolder(memo) != platform::FinalFolder(table);
  int code = memoElsewhere ? FsyncFolderOf(memo) : 0;
  if (code == 0) code = FsyncFolderOf(table);
  // The rename of a table without memo file was its own commit.
  if (code != 0 || !MadeForTable(MarkerName(table), owner)) return code;
  // Synced, so that the marker of this pack never comes back to finish a later one.
  if (platform::os::Unlink(MarkerName(table)) != 0 && errno != ENOENT) return ErrnoCode();
  return FsyncFolderOf(table);
}

void DropPackedFiles(const std::string& table, const PackFiles& files) {
  const uid_t owner = OwnerOf(table);
  RemoveIfMadeForTable(MarkerName(table), owner);
  RemoveIfMadeForTable(MarkerDraftName(table), owner);
  if (files.memo.empty()) {
    for (const std::string& memo : PossibleMemoFiles(table))
      RemoveIfMadeForTable(PackedMemoName(memo), OwnerOf(memo));
  } else {
    RemoveIfMadeForTable(files.newMemo, OwnerOf(files.memo));
  }
  RemoveIfMadeForTable(files.newTable.empty() ? PackedTableName(table) : files.newTable, owner);
}

bool SettleInterruptedPack(const std::string& table) {
  const uid_t owner = OwnerOf(table);
  if (!Leftover(table, owner)) return true;
  const std::string marker = MarkerName(table);
  SettleTurn turn;
  int code = turn.Wait(table);
  // Settled by the program whose turn this one waited for.
  if (code == 0 && !Leftover(table, owner)) return true;
  // A marker's swap replaces the table, so nobody else may have it open; the files of a pack
  // that never committed are only removed, which a program that packs the table now keeps off.
  const bool swap = MadeForTable(marker, owner);
  if (code == 0) code = turn.Share(swap);
  // In use elsewhere: the program that has it open settled it, or is packing it now; or the
  // table was replaced meanwhile by the program that packed it.
  if (code == 33 || (code == 0 && !turn.StillNamed(table))) return true;
  if (!swap) {
    if (code == 0) DropPackedFiles(table, PackFiles{});
    return true;
  }
  PackFiles files;
  if (code == 0 && !ReadMarker(table, files)) code = 30;
  if (code == 0) code = turn.TakeOnPacked(files.newTable);
  bool nothingReplaced = false;
  if (code == 0) code = FinishPackedFiles(table, files, nothingReplaced);
  if (code == 0) return true;
  ReportError(static_cast<std::uint16_t>(code),
              "Cannot finish packing " + table + " (" + marker + ") [USE]");
  return false;
}

}  // namespace dadav
