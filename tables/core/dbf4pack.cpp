#include "tables/core/dbf4pack.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/files/cp1252case.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4packcommit.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tztext.h"

namespace dadav {
namespace {

constexpr std::size_t kBlockBytes = 65520;

std::uint64_t RecordOffset(const WorkArea& area, std::int64_t n) {
  return static_cast<std::uint64_t>(area.headerLength) +
         static_cast<std::uint64_t>(n - 1) * area.recordLength;
}

// Puts a table that PACK made exclusive back to shared use on every way out.
class SharedAgain {
 public:
  explicit SharedAgain(bool active) : active_(active) {}
  ~SharedAgain() {
    if (active_) ReopenDbf(false);
  }
  // Reopens now and reports a failure; the destructor then has nothing left to do.
  void Now() {
    if (!active_) return;
    active_ = false;
    int code = ReopenDbf(false);
    if (code != 0) {
      ReportError(static_cast<std::uint16_t>(code),
                  "Cannot re-open database sharable. " + Area()->fileName + " [Pack]");
    }
  }
  SharedAgain(const SharedAgain&) = delete;
  SharedAgain& operator=(const SharedAgain&) = delete;

 private:
  bool active_;
};

// The header, the kept records in order and the end mark into newTable, with the header's
// count of kept records; 0 or the I/O code.
int CopyKeptRecords(WorkArea& area, const platform::BlockFile& newTable, std::int32_t& keptCount) {
  const std::size_t perBlock = std::max<std::size_t>(1, kBlockBytes / area.recordLength);
  std::vector<std::uint8_t> block(std::max<std::size_t>(
      perBlock * area.recordLength, static_cast<std::size_t>(area.headerLength)));
  std::vector<std::uint8_t> kept(block.size());
  const auto headerBytes = static_cast<std::size_t>(area.headerLength);
  std::size_t done = 0;
  int code = area.file.ReadAt(0, block.data(), headerBytes, done);
  if (code == 0 && done < headerBytes) code = 213;
  if (code == 0) code = newTable.WriteAt(0, block.data(), headerBytes, done);
  keptCount = 0;
  for (std::int64_t first = 1; code == 0 && first <= area.recCount;
       first += static_cast<std::int64_t>(perBlock)) {
    const auto records = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(perBlock), area.recCount - first + 1));
    const std::size_t bytes = records * area.recordLength;
    code = area.file.ReadAt(RecordOffset(area, first), block.data(), bytes, done);
    if (code == 0 && done < bytes) code = 213;
    std::size_t keptBytes = 0;
    for (std::size_t i = 0; code == 0 && i < records; ++i) {
      const std::uint8_t* record = block.data() + i * area.recordLength;
      if (record[0] == '*') continue;
      std::memcpy(kept.data() + keptBytes, record, area.recordLength);
      keptBytes += area.recordLength;
    }
    if (code == 0 && keptBytes > 0) {
      code = newTable.WriteAt(RecordOffset(area, keptCount + 1), kept.data(), keptBytes, done);
      keptCount += static_cast<std::int32_t>(keptBytes / area.recordLength);
    }
  }
  const std::uint8_t mark = 0x1A;
  if (code == 0) code = newTable.WriteAt(RecordOffset(area, keptCount + 1), &mark, 1, done);
  return code == 0 ? WriteHeaderTo(area, newTable, keptCount) : code;
}

// The new files of a pack: given up before their swap began, they go.
class NewFiles {
 public:
  explicit NewFiles(const std::string& tableName) : tableName_(tableName) {}
  ~NewFiles() {
    if (kept_) return;
    table.Close();
    DropPackedFiles(tableName_, names);
  }
  NewFiles(const NewFiles&) = delete;
  NewFiles& operator=(const NewFiles&) = delete;
  void Keep() { kept_ = true; }

  platform::BlockFile table;
  PackFiles names;

 private:
  std::string tableName_;
  bool kept_ = false;
};

// The marks PACK sets on the indexes before it commits. A shared table's marks are taken back
// when the pack gives up before its swap, so that other programs are not refused sound indexes
// meanwhile (an exclusive table's may guard its earlier changes too, and go at its close as
// ever); once the swap has begun they stay until the indexes are rebuilt, whatever fails.
class PackMarks {
 public:
  explicit PackMarks(bool shared) : shared_(shared) {}
  ~PackMarks() {
    if (!set_ || kept_ || !shared_ || IndexHooks.clearIndexMarks == nullptr) return;
    const std::uint16_t code = LastErrorCode;
    const bool reporting = SetReportErrors(false);
    IndexHooks.clearIndexMarks();
    SetReportErrors(reporting);
    LastErrorCode = code;
  }
  PackMarks(const PackMarks&) = delete;
  PackMarks& operator=(const PackMarks&) = delete;

  // False after a reported error.
  bool Set() {
    if (!Indexed() || IndexHooks.markIndexesChanging == nullptr) return true;
    set_ = true;
    IndexHooks.markIndexesChanging();
    return LastErrorCode == 0;
  }
  void Keep() {
    if (!set_ || kept_) return;
    kept_ = true;
    if (IndexHooks.keepIndexMarks != nullptr) IndexHooks.keepIndexMarks();
  }

 private:
  bool shared_;
  bool set_ = false;
  bool kept_ = false;
};

bool PackFailed(const WorkArea& area, int code) {
  ReportError(static_cast<std::uint16_t>(code), "Error packing " + area.fileName);
  return false;
}

// Renames the new files over the old ones. Past the commit marker the swap only goes forward:
// a step that failed is tried once more, and failing again it is left to the next open.
bool SwapInNewFiles(WorkArea& area, NewFiles& files, PackMarks& marks, std::int32_t keptCount) {
  bool nothingReplaced = false;
  int code = FinishPackedFiles(area.fileName, files.names, nothingReplaced);
  if (code != 0 && !nothingReplaced)
    code = FinishPackedFiles(area.fileName, files.names, nothingReplaced);
  if (code != 0) {
    if (!nothingReplaced) {
      files.Keep();
      marks.Keep();
    }
    return PackFailed(area, code);
  }
  files.Keep();
  marks.Keep();
  area.file = std::move(files.table);
  area.recCount = keptCount;
  area.endsAtNextRecord = 0;
  area.state = kOpen;
  return true;
}

// The memo file now in place is opened in place of the old one, in the mode the table was in
// before PACK made it exclusive.
bool ReopenMemo(WorkArea& area, std::uint16_t openMode) {
  std::string dir, name, ext;
  FSplit(area.fileName, dir, name, ext);
  MemoHooks.closeMemofile();
  LastErrorCode = 0;
  const std::uint16_t packMode = std::exchange(area.openMode, openMode);
  MemoHooks.openMemofile(dir + name);
  area.openMode = packMode;
  return LastErrorCode == 0;
}

// The kept records go to a new table beside the old one, the kept memos to a new memo file;
// both are synced, committed by the marker and renamed over the old ones. False after a
// reported error: the table, its memo file and its indexes stand as they were unless the swap
// had begun, which the next open of the table then finishes.
bool PackIntoNewFiles(WorkArea& area, std::uint16_t openMode, bool wasShared) {
  NewFiles files(area.fileName);
  PackMarks marks(wasShared);
  std::int32_t keptCount = 0;
  int code = area.file.Writable() ? CreatePackedFile(area.fileName, PackedTableName(area.fileName),
                                                     files.table, files.names.newTable)
                                  : 5;
  if (code < 0) return false;
  bool reporting = SetReportErrors(false);
  if (code == 0) code = CopyKeptRecords(area, files.table, keptCount);
  SetReportErrors(reporting);
  if (code != 0) return PackFailed(area, code);
  if (area.hasMemo && MemoHooks.packMemofile != nullptr &&
      !MemoHooks.packMemofile(files.table, keptCount, files.names.memo, files.names.newMemo))
    return false;
  if (const int synced = files.table.Sync(); synced != 0) return PackFailed(area, synced);
  // Marked before the commit: from the marker on, the next open may put the packed table in.
  if (!marks.Set()) return false;
  if (const int committed = CommitPackedFiles(area.fileName, files.names); committed != 0)
    return committed > 0 && PackFailed(area, committed);
  return SwapInNewFiles(area, files, marks, keptCount) &&
         (files.names.memo.empty() || ReopenMemo(area, openMode));
}

void PositionAfterPack(WorkArea& area) {
  if (area.recCount > 0) {
    GetDbfRecord(area, 1);
    if (LastErrorCode == 0) LoadNativeRecord();
    return;
  }
  ClearRecord();
  area.bof = area.eof = true;
  area.recNo = 0;
}

std::array<std::uint8_t, 256> UpperTable() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = platform::Cp1252Upper(static_cast<std::uint8_t>(c));
  return table;
}

// Field number (1-based) whose stored range holds offset, 0 for the deletion byte.
std::int32_t FieldAtOffset(const WorkArea& area, std::size_t offset) {
  for (std::size_t i = 0; i < area.fields.size(); ++i) {
    const FieldDescriptor& f = area.fields[i];
    if (offset >= f.offset && offset < static_cast<std::size_t>(f.offset) + f.length) {
      return static_cast<std::int32_t>(i) + 1;
    }
  }
  return 0;
}

}  // namespace

bool Pack() {
  if (NoDbfInUse("Pack")) return false;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  RefreshRecCount();
  if (area.recCount < 1) return true;
  if (area.vfile.isVirtual) {
    VFileRequest(area, 5);
    return true;
  }
  const bool wasShared = !area.exclusive;
  const std::uint16_t openMode = area.openMode;
  if (wasShared) {
    int code = ReopenDbf(true);
    if (code != 0) {
      LastErrorCode = static_cast<std::uint16_t>(code);
      return false;
    }
  }
  SharedAgain shared(wasShared);
  if (!PackIntoNewFiles(area, openMode, wasShared)) return false;
  PositionAfterPack(area);
  if (LastErrorCode != 0) return false;
  if (Indexed() && IndexHooks.reindex != nullptr) IndexHooks.reindex();
  shared.Now();
  return LastErrorCode == 0;
}

void Search(const std::string& text, std::int32_t& field, bool fromTop) {
  if (NoDbfInUse("Search")) return;
  WorkArea& area = *Area();
  if (area.vfile.isVirtual) {
    ReportError(1100, "Operation cannot be used on virtual files. [Search]");
    return;
  }
  const std::string wanted = UpperStr(RTrim(text));
  if (wanted.empty()) return;
  const std::int32_t wantedField = field >= 1 && field <= area.fieldCount ? field : 0;
  field = 0;
  static const std::array<std::uint8_t, 256> upper = UpperTable();
  const std::int32_t origin = area.recNo;
  const std::int32_t count = RecCount();
  const std::size_t perBlock = std::max<std::size_t>(1, kBlockBytes / area.recordLength);
  std::vector<std::uint8_t> block(perBlock * area.recordLength);
  for (std::int64_t first = fromTop ? 1 : static_cast<std::int64_t>(origin) + 1; first <= count;
       first += static_cast<std::int64_t>(perBlock)) {
    std::size_t records = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(perBlock), count - first + 1));
    std::size_t done = 0;
    if (area.file.ReadAt(RecordOffset(area, first), block.data(), records * area.recordLength,
                         done) != 0)
      break;
    records = done / area.recordLength;
    const std::size_t bytes = records * area.recordLength;
    ConvertRecordCharset(false, area.tableIsOem, bytes, area.recordLength, block.data());
    for (std::size_t i = 0; i < bytes; ++i) block[i] = upper[block[i]];
    std::string_view haystack(reinterpret_cast<const char*>(block.data()), bytes);
    for (std::size_t hit = haystack.find(wanted); hit != std::string_view::npos;
         hit = haystack.find(wanted, hit + 1)) {
      const std::size_t inRecord = hit % area.recordLength;
      const std::int32_t hitField = FieldAtOffset(area, inRecord);
      if (hitField == 0) continue;
      const FieldDescriptor& f = area.fields[static_cast<std::size_t>(hitField - 1)];
      if (inRecord + wanted.size() > static_cast<std::size_t>(f.offset) + f.length || f.type == 'M')
        continue;
      if (wantedField != 0 && hitField != wantedField) continue;
      const std::int64_t record = first + static_cast<std::int64_t>(hit / area.recordLength);
      if (record > RecCount()) return;
      GO(static_cast<std::int32_t>(record));
      if (LastErrorCode != 0) return;
      if (!RecordVisible()) continue;
      field = hitField;
      return;
    }
  }
  GoIfValid(origin);
}

}  // namespace dadav
