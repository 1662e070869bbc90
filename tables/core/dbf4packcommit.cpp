#include "tables/core/dbf4packcommit.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/files/blockfile.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"
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

// Holds the table's share lock exclusively while a crashed pack's files are dealt with, so that
// the files of a pack another program runs right now are never touched.
class TableGuard {
 public:
  explicit TableGuard(const std::string& table)
      : code_(file_.Open(table, platform::kModeExclusive)) {}
  int Code() const { return code_; }

 private:
  platform::BlockFile file_;
  int code_;
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
  const std::string marker = MarkerName(table);
  if (!Exists(marker) && !Exists(PackedTableName(table))) return true;
  TableGuard guard(table);
  // In use elsewhere: the program that has it open settled it, or is packing it now.
  if (guard.Code() == 32) return true;
  if (!Exists(marker)) {
    if (guard.Code() == 0) DropPackedFiles(table, "");
    return true;
  }
  std::string memo;
  int code = guard.Code();
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
