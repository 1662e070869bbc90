#include "tables/core/dbf4pack.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/files/cp1252case.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
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

// Moves the live records to the front in blocks; the count of kept records, or -1 with the
// I/O code in LastErrorCode.
std::int64_t CompactRecords(WorkArea& area) {
  const std::size_t perBlock = std::max<std::size_t>(1, kBlockBytes / area.recordLength);
  std::vector<std::uint8_t> block(perBlock * area.recordLength);
  std::vector<std::uint8_t> kept(block.size());
  std::int64_t keptCount = 0;
  bool moving = false;
  for (std::int64_t first = 1; first <= area.recCount;
       first += static_cast<std::int64_t>(perBlock)) {
    std::size_t records = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(perBlock), area.recCount - first + 1));
    std::size_t bytes = records * area.recordLength;
    std::size_t done = 0;
    int code = area.file.ReadAt(RecordOffset(area, first), block.data(), bytes, done);
    if (code == 0 && done < bytes) code = 213;
    if (code != 0) {
      LastErrorCode = static_cast<std::uint16_t>(code);
      return -1;
    }
    std::size_t keptBytes = 0;
    std::int64_t blockStart = keptCount;
    for (std::size_t i = 0; i < records; ++i) {
      const std::uint8_t* record = block.data() + i * area.recordLength;
      if (record[0] == '*') {
        moving = true;
        continue;
      }
      std::memcpy(kept.data() + keptBytes, record, area.recordLength);
      keptBytes += area.recordLength;
      ++keptCount;
    }
    if (moving && keptBytes > 0) {
      code = area.file.WriteAt(RecordOffset(area, blockStart + 1), kept.data(), keptBytes, done);
      if (code == 0 && done < keptBytes) code = 101;
      if (code != 0) {
        LastErrorCode = static_cast<std::uint16_t>(code);
        return -1;
      }
    }
  }
  return keptCount;
}

// End mark, header count, flush, then the cut: a failure before the cut leaves every live
// record in the file.
int FinishPack(WorkArea& area, std::int64_t keptCount) {
  std::uint64_t end = RecordOffset(area, keptCount + 1);
  std::uint8_t mark = 0x1A;
  std::size_t done = 0;
  int code = area.file.WriteAt(end, &mark, 1, done);
  if (code != 0) return code;
  area.recCount = static_cast<std::int32_t>(keptCount);
  area.state = kAppended;
  bool reporting = SetReportErrors(false);
  LastErrorCode = 0;
  UpdateDbfHeader(area);
  code = LastErrorCode;
  SetReportErrors(reporting);
  if (code == 0) code = area.file.Sync();
  if (code == 0) code = area.file.Truncate(end + 1);
  if (code == 0) area.state = kOpen;
  return code;
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
  if (wasShared) {
    int code = ReopenDbf(true);
    if (code != 0) {
      LastErrorCode = static_cast<std::uint16_t>(code);
      return false;
    }
  }
  SharedAgain shared(wasShared);
  bool reporting = SetReportErrors(false);
  std::int64_t keptCount = CompactRecords(area);
  int code = keptCount < 0 ? LastErrorCode : FinishPack(area, keptCount);
  SetReportErrors(reporting);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Error packing " + area.fileName);
    return false;
  }
  PositionAfterPack(area);
  if (LastErrorCode != 0) return false;
  if (area.hasMemo && MemoHooks.packMemofile != nullptr) {
    MemoHooks.packMemofile();
    if (LastErrorCode != 0) return false;
  }
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
