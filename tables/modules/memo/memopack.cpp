#include "tables/modules/memo/memopack.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/files/fileidentity.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/modules/memo/memocopy.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memolock.h"
#include "tables/modules/memo/memoopen.h"
#include "tables/modules/memo/memoreader.h"

namespace dadav {
namespace {

constexpr std::string_view kMapMagic = "MEMOMAP1";
constexpr std::size_t kScanBytes = 65520;
constexpr int kLockAttempts = 50;
constexpr std::int32_t kLockWaitMs = 20;

// A field text that the packed memo file needs, at its byte offset in the table file.
struct FieldUpdate {
  std::uint64_t offset;
  std::string text;
};

struct PackFailure {
  std::uint16_t code = 0;
  std::string message;
};

std::string PackFileName(const WorkArea& area, const std::string& memoName, const char* ext) {
  return memoName + "." + CompanionExt(area.fileName, ext);
}

std::string FolderOf(const std::string& path) {
  std::string dir, name, ext;
  FSplit(path, dir, name, ext);
  return dir.empty() ? "." : dir;
}

std::string MapBytes(const std::vector<FieldUpdate>& updates) {
  std::string bytes(kMapMagic);
  std::uint8_t count[4];
  PutLittle32(count, static_cast<std::uint32_t>(updates.size()));
  bytes.append(reinterpret_cast<const char*>(count), 4);
  for (const FieldUpdate& update : updates) {
    for (int shift = 0; shift < 64; shift += 8) {
      bytes.push_back(static_cast<char>(update.offset >> shift));
    }
    bytes.push_back(static_cast<char>(update.text.size()));
    bytes.append(update.text);
  }
  return bytes;
}

// The map's updates, each inside the table's records; false for a map that is not whole.
bool ParseMap(const WorkArea& area, std::string_view bytes, std::vector<FieldUpdate>& updates) {
  if (bytes.substr(0, kMapMagic.size()) != kMapMagic || bytes.size() < kMapMagic.size() + 4)
    return false;
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::uint32_t count = GetLittle32(p + kMapMagic.size());
  const auto recordsEnd = static_cast<std::uint64_t>(area.headerLength) +
                          static_cast<std::uint64_t>(area.recCount) * area.recordLength;
  std::size_t at = kMapMagic.size() + 4;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < 9) return false;
    std::uint64_t offset = 0;
    for (int b = 7; b >= 0; --b) offset = offset << 8 | p[at + static_cast<std::size_t>(b)];
    const std::size_t length = p[at + 8];
    at += 9;
    if (bytes.size() - at < length || offset < static_cast<std::uint64_t>(area.headerLength) ||
        offset > recordsEnd || recordsEnd - offset < length)
      return false;
    updates.push_back({offset, std::string(bytes.substr(at, length))});
    at += length;
  }
  return at == bytes.size();
}

// Writes the field texts into the table file and syncs it; 0 or the I/O code.
int WriteFieldTexts(const WorkArea& area, const std::vector<FieldUpdate>& updates) {
  for (const FieldUpdate& update : updates) {
    std::size_t done = 0;
    int code = area.file.WriteAt(update.offset, update.text.data(), update.text.size(), done);
    if (code == 0 && done < update.text.size()) code = 101;
    if (code != 0) return code;
  }
  return area.file.Sync();
}

void ReloadCurrentRecord(WorkArea& area) {
  if (area.recNo < 1 || area.recNo > area.recCount) return;
  GetDbfRecord(area, area.recNo);
  if (LastErrorCode == 0) LoadNativeRecord();
}

// Holds the table's file lock while a shared table's interrupted pack is finished.
class TableLock {
 public:
  explicit TableLock(const WorkArea& area) : needed_(!area.exclusive) {
    for (int attempt = 0; needed_ && !held_ && attempt < kLockAttempts; ++attempt) {
      if (attempt > 0) WaitMs(kLockWaitMs);
      held_ = FLock();
    }
  }
  ~TableLock() {
    if (held_) Unlock();
  }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  bool Granted() const { return !needed_ || held_; }

 private:
  bool needed_;
  bool held_ = false;
};

class MemoPacker {
 public:
  MemoPacker(WorkArea& area, MemoControl& memo)
      : area_(area),
        memo_(memo),
        newName_(PackFileName(area, memo.fileName, "new")),
        mapName_(PackFileName(area, memo.fileName, "map")) {}

  void Run() {
    std::uint64_t size = 0;
    if (MemoFileSize(memo_, size) == 0 && !DiskHasRoom(memo_, size)) {
      ReportMemoError(&memo_, 1012, memo_.fileName + " [PackMemofile]");
      return;
    }
    PackFailure failure;
    if (!CopyAll(size, failure) || !Seal(failure) || !Commit(failure)) {
      Abandon();
      ReportMemoError(&memo_, failure.code, failure.message);
      return;
    }
    Finish();
  }

 private:
  bool Fail(PackFailure& failure, int code, const std::string& message) {
    failure.code = static_cast<std::uint16_t>(code);
    failure.message = message;
    return false;
  }

  bool StartNewFile(PackFailure& failure) {
    target_.fileName = newName_;
    target_.memoType = memo_.memoType;
    target_.blockSize = memo_.blockSize;
    int code = target_.file.Create(newName_);
    created_ = code == 0;
    if (code == 0) {
      const std::vector<std::uint8_t> header =
          MemoHeader(area_.fileName, memo_.memoType, memo_.blockSize);
      code = MemoWrite(target_, 0, header.data(), header.size());
    }
    return code == 0 || Fail(failure, code, newName_ + " [PackMemofile]");
  }

  // Copies the memo a field refers to and keeps the field's new text.
  bool CopyReference(std::uint64_t oldSize, std::int64_t block, std::int32_t record,
                     std::uint64_t fieldOffset, std::uint8_t fieldLength, PackFailure& failure) {
    std::uint64_t at = 0;
    if (!BlockOffset(memo_, block, at) || at >= oldSize) {
      return Fail(failure, 1003,
                  memo_.fileName + " Memo block # " + std::to_string(block) + " Record # " +
                      std::to_string(record) + " [PackMemo]");
    }
    const AppendPosition position = EndPosition(target_, target_.cachedSize);
    bool groupForm = false;
    const int code = CopyMemoData(memo_, block, target_, position, groupForm);
    if (code != 0) return Fail(failure, code, memo_.fileName + " [PackMemo]");
    const std::int64_t reference = CopiedReference(target_, position.Block(target_), groupForm);
    std::string text = FormatFieldInt(reference, fieldLength);
    if (reference > std::numeric_limits<std::int32_t>::max() ||
        text.find('*') != std::string::npos) {
      return Fail(failure, 1005, newName_ + " [PackMemo]");
    }
    updates_.push_back({fieldOffset, std::move(text)});
    return true;
  }

  bool CopyRecord(const std::uint8_t* record, std::int32_t number, std::uint64_t recordOffset,
                  std::uint64_t oldSize, PackFailure& failure) {
    for (const FieldDescriptor& f : area_.fields) {
      if (f.type != 'M' || f.offset + f.length > area_.recordLength) continue;
      const std::string_view stored(reinterpret_cast<const char*>(record + f.offset), f.length);
      const std::int64_t block = ParseFieldInt(stored);
      if (block != 0 &&
          !CopyReference(oldSize, block, number, recordOffset + f.offset, f.length, failure))
        return false;
    }
    return true;
  }

  // Every referenced memo into ".new"; the table is only read.
  bool CopyAll(std::uint64_t oldSize, PackFailure& failure) {
    if (!StartNewFile(failure)) return false;
    const std::size_t length = area_.recordLength;
    const std::size_t perBlock =
        std::max<std::size_t>(1, kScanBytes / std::max<std::size_t>(1, length));
    std::vector<std::uint8_t> block(perBlock * length);
    for (std::int64_t first = 1; first <= area_.recCount;
         first += static_cast<std::int64_t>(perBlock)) {
      const auto records = static_cast<std::size_t>(
          std::min<std::int64_t>(static_cast<std::int64_t>(perBlock), area_.recCount - first + 1));
      const std::uint64_t offset = static_cast<std::uint64_t>(area_.headerLength) +
                                   static_cast<std::uint64_t>(first - 1) * length;
      std::size_t done = 0;
      int code = area_.file.ReadAt(offset, block.data(), records * length, done);
      if (code == 0 && done < records * length) code = 213;
      if (code != 0) return Fail(failure, code, area_.fileName + " [PackMemofile]");
      for (std::size_t i = 0; i < records; ++i) {
        const auto number = static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
        if (!CopyRecord(block.data() + i * length, number, offset + i * length, oldSize, failure))
          return false;
      }
    }
    return true;
  }

  // The new file's header, synced; then the map, synced with its folder entry.
  bool Seal(PackFailure& failure) {
    int code = WriteNextFreeBlock(target_, target_.cachedSize);
    if (code == 0) code = target_.file.Sync();
    if (code == 0 && !platform::IdentityOfFile(target_.file, newIdentity_)) code = 100;
    target_.file.Close();
    if (code != 0) return Fail(failure, code, newName_ + " [PackMemofile]");
    platform::BlockFile map;
    const std::string mapBytes = MapBytes(updates_);
    code = map.Create(mapName_);
    mapMade_ = code == 0;
    std::size_t done = 0;
    if (code == 0) code = map.WriteAt(0, mapBytes.data(), mapBytes.size(), done);
    if (code == 0 && done < mapBytes.size()) code = 101;
    if (code == 0) code = map.Sync();
    map.Close();
    if (code == 0 && platform::FsyncDirectory(FolderOf(mapName_)) != 0) {
      code = platform::IoCodeFromErrno(errno, true);
    }
    return code == 0 || Fail(failure, code, mapName_ + " [PackMemofile]");
  }

  // Renames ".new" over the memo file. Should the rename stand but its folder sync fail, the
  // pack is committed all the same.
  bool Commit(PackFailure& failure) {
    memo_.file.Close();
    memo_.lockHeld = false;
    if (platform::ReplaceFile(newName_, memo_.fileName) == 0) return true;
    const int code = platform::IoCodeFromErrno(errno, true);
    platform::FileIdentity now;
    if (platform::IdentityOfPath(memo_.fileName, now) && now == newIdentity_) return true;
    created_ = false;  // the failed rename took it away
    if (OpenMemoControl(memo_) != 0) area_.memoState.reset();
    return Fail(failure, code, "Memo file not found: " + memo_.fileName + " [PackMemofile]");
  }

  // Before the commit: the table and the memo file stay as they were. The map goes first, so
  // that a crash in between never leaves it alone.
  void Abandon() {
    target_.file.Close();
    if (mapMade_) EraseFile(mapName_);
    if (created_) EraseFile(newName_);
  }

  void Finish() {
    if (const int code = WriteFieldTexts(area_, updates_); code != 0) {
      // The map stays: the next open of the table writes the texts again.
      area_.memoState.reset();
      ReportError(static_cast<std::uint16_t>(code), area_.fileName + " [PackMemofile]");
      return;
    }
    EraseFile(mapName_);
    if (const int code = OpenMemoControl(memo_); code != 0) {
      area_.memoState.reset();
      ReportError(static_cast<std::uint16_t>(code),
                  "Memo file not found: " + memo_.fileName + " [PackMemofile]");
      return;
    }
    ReloadCurrentRecord(area_);
  }

  WorkArea& area_;
  MemoControl& memo_;
  MemoControl target_;
  std::string newName_;
  std::string mapName_;
  std::vector<FieldUpdate> updates_;
  platform::FileIdentity newIdentity_;
  bool created_ = false;
  bool mapMade_ = false;
};

// Undoes or finishes the interrupted pack under the table's lock.
bool RecoverPack(WorkArea& area, const std::string& memoName, const std::string& newName,
                 const std::string& mapName, PackFailure& failure) {
  TableLock lock(area);
  if (!lock.Granted()) return false;
  if (FileExists(newName)) {
    EraseFile(mapName);
    EraseFile(newName);
    return true;
  }
  if (!FileExists(mapName)) return true;
  if (!area.file.Writable()) {
    failure = {5, memoName + " [USE]"};
    return false;
  }
  std::string bytes;
  std::vector<FieldUpdate> updates;
  if (!platform::os::ReadWholeFile(mapName, bytes) || !ParseMap(area, bytes, updates)) {
    failure = {30, mapName + " [USE]"};
    return false;
  }
  if (const int code = WriteFieldTexts(area, updates); code != 0) {
    failure = {static_cast<std::uint16_t>(code), area.fileName + " [USE]"};
    return false;
  }
  EraseFile(mapName);
  return true;
}

}  // namespace

void PackMemofile() {
  if (CheckMemoArea("PackMemofile")) return;
  // The control outlives a failed reopen that releases it from the area.
  std::shared_ptr<MemoControl> memo = CurrentMemoShared();
  MemoPacker(*Area(), *memo).Run();
}

bool FinishInterruptedPack(WorkArea& area, const std::string& memoName) {
  const std::string newName = platform::ResolveFileName(PackFileName(area, memoName, "new"));
  const std::string mapName = platform::ResolveFileName(PackFileName(area, memoName, "map"));
  if (!FileExists(newName) && !FileExists(mapName)) return true;
  // The lock is released before reporting, which may throw.
  PackFailure failure{33, memoName + " [USE]"};
  if (!RecoverPack(area, memoName, newName, mapName, failure)) {
    ReportError(failure.code, failure.message);
    return false;
  }
  LastErrorCode = 0;
  ReloadCurrentRecord(area);
  return LastErrorCode == 0;
}

}  // namespace dadav
