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

int ErrnoCode() {
  return platform::IoCodeFromErrno(errno, true);
}

// Only the table's own memo file, "<table name>.dbt" or ".fpt" in any letter case, beside it:
// a damaged marker never renames another file.
bool IsMemoOf(const std::string& table, const std::string& memo) {
  std::string dir, name, ext;
  FSplit(table, dir, name, ext);
  const std::string upper = UpperStr(memo);
  return upper == UpperStr(name + ".DBT") || upper == UpperStr(name + ".FPT");
}

// The memo file the marker names, without folder ("" for none); false for a marker that is not
// one of ours.
bool ReadMarker(const std::string& table, std::string& memo) {
  std::string bytes;
  if (!platform::os::ReadWholeFile(MarkerName(table), bytes)) return false;
  if (bytes.size() < kMarkerMagic.size() + 1 ||
      bytes.compare(0, kMarkerMagic.size(), kMarkerMagic) != 0 || bytes.back() != '\n')
    return false;
  memo = bytes.substr(kMarkerMagic.size(), bytes.size() - kMarkerMagic.size() - 1);
  return memo.empty() || IsMemoOf(table, memo);
}

std::string MemoPath(const std::string& table, const std::string& memo) {
  std::string dir, name, ext;
  FSplit(table, dir, name, ext);
  return dir + memo;
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

bool Leftover(const std::string& table) {
  return Exists(MarkerName(table)) || Exists(PackedTableName(table));
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
    packed_ = platform::os::Open(packed, O_RDONLY | O_CLOEXEC);
    if (packed_ < 0) return errno == ENOENT ? 0 : platform::IoCodeFromErrno(errno);
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

int CommitPackedFiles(const std::string& table, const std::string& memo) {
  // A table alone is swapped by one rename, which commits by itself: no marker, and none of the
  // syncs that go with it.
  if (memo.empty()) return 0;
  std::string dir, name, ext;
  FSplit(memo, dir, name, ext);
  const std::string bytes = std::string(kMarkerMagic) + (memo.empty() ? "" : name + ext) + "\n";
  platform::BlockFile marker;
  int code = marker.Create(MarkerDraftName(table));
  std::size_t done = 0;
  if (code == 0) code = marker.WriteAt(0, bytes.data(), bytes.size(), done);
  if (code == 0 && done < bytes.size()) code = 101;
  if (code == 0) code = marker.Sync();
  marker.Close();
  // The rename commits; the folder's sync makes it and the new files' entries durable.
  if (code == 0 && platform::RenameOver(MarkerDraftName(table), MarkerName(table)) != 0)
    code = ErrnoCode();
  return code;
}

int FinishPackedFiles(const std::string& table, const std::string& memo, bool& nothingReplaced) {
  const std::string newMemo = memo.empty() ? std::string() : PackedMemoName(memo);
  const std::string newTable = PackedTableName(table);
  const bool memoPending = !memo.empty() && Exists(newMemo);
  const bool tablePending = Exists(newTable);
  nothingReplaced = false;
  // Back to back, with no sync between them: other programs that open the table between the two
  // renames read the old table beside the packed memo file, and the shorter that time, the
  // fewer crashes fall into it.
  if (memoPending && platform::RenameOverUnsynced(newMemo, memo) != 0) {
    const int code = ErrnoCode();
    nothingReplaced = tablePending && Exists(newMemo);
    return code;
  }
  if (tablePending && platform::RenameOverUnsynced(newTable, table) != 0) {
    const int code = ErrnoCode();
    nothingReplaced = memo.empty() && Exists(newTable);
    return code;
  }
  const bool memoElsewhere =
      !memo.empty() && platform::FinalFolder(memo) != platform::FinalFolder(table);
  int code = memoElsewhere ? FsyncFolderOf(memo) : 0;
  if (code == 0) code = FsyncFolderOf(table);
  // The rename of a table without memo file was its own commit.
  if (code != 0 || !Exists(MarkerName(table))) return code;
  // Synced, so that the marker of this pack never comes back to finish a later one.
  if (platform::os::Unlink(MarkerName(table)) != 0 && errno != ENOENT) return ErrnoCode();
  return FsyncFolderOf(table);
}

void DropPackedFiles(const std::string& table, const std::string& memo) {
  platform::os::Unlink(MarkerName(table));
  platform::os::Unlink(MarkerDraftName(table));
  for (const std::string& file :
       memo.empty() ? PossibleMemoFiles(table) : std::vector<std::string>{memo}) {
    platform::os::Unlink(PackedMemoName(file));
  }
  platform::os::Unlink(PackedTableName(table));
}

bool SettleInterruptedPack(const std::string& table) {
  if (!Leftover(table)) return true;
  const std::string marker = MarkerName(table);
  SettleTurn turn;
  int code = turn.Wait(table);
  // Settled by the program whose turn this one waited for.
  if (code == 0 && !Leftover(table)) return true;
  // A marker's swap replaces the table, so nobody else may have it open; the files of a pack
  // that never committed are only removed, which a program that packs the table now keeps off.
  const bool swap = Exists(marker);
  if (code == 0) code = turn.Share(swap);
  // In use elsewhere: the program that has it open settled it, or is packing it now; or the
  // table was replaced meanwhile by the program that packed it.
  if (code == 33 || (code == 0 && !turn.StillNamed(table))) return true;
  if (!swap) {
    if (code == 0) DropPackedFiles(table, "");
    return true;
  }
  std::string memo;
  if (code == 0) code = turn.TakeOnPacked(PackedTableName(table));
  if (code == 0 && !ReadMarker(table, memo)) code = 30;
  bool nothingReplaced = false;
  if (code == 0)
    code = FinishPackedFiles(table, memo.empty() ? "" : MemoPath(table, memo), nothingReplaced);
  if (code == 0) return true;
  ReportError(static_cast<std::uint16_t>(code),
              "Cannot finish packing " + table + " (" + marker + ") [USE]");
  return false;
}

}  // namespace dadav
