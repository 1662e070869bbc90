#include "tables/core/dbf4rows.h"

#include <algorithm>
#include <cstring>

#include "tables/core/dbf4edit.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tznumber.h"

namespace dadav {

std::uint64_t RecordsReadForViews = 0;

namespace {

constexpr std::size_t kBlockBytes = 1 << 18;

std::uint64_t OffsetOf(const WorkArea& area, std::int32_t n) {
  return static_cast<std::uint64_t>(area.headerLength) +
         static_cast<std::uint64_t>(n - 1) * area.recordLength;
}

}  // namespace

std::int32_t ReadRecordBlock(const WorkArea& area, std::int32_t first, std::int32_t count,
                             std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (area.vfile.isVirtual || area.recordLength == 0 || first < 1 || count < 1 ||
      first > area.recCount) {
    return 0;
  }
  count = std::min(count, area.recCount - first + 1);
  bytes.resize(static_cast<std::size_t>(count) * area.recordLength);
  std::size_t done = 0;
  area.file.ReadAt(OffsetOf(area, first), bytes.data(), bytes.size(), done);
  const auto records = static_cast<std::int32_t>(done / area.recordLength);
  bytes.resize(static_cast<std::size_t>(records) * area.recordLength);
  ConvertRecordCharset(false, area.tableIsOem, bytes.size(), area.recordLength, bytes.data());
  RecordsReadForViews += static_cast<std::uint64_t>(records);
  return records;
}

std::vector<std::int32_t> LiveRecordNumbers(const WorkArea& area) {
  std::vector<std::int32_t> live;
  if (area.vfile.isVirtual || area.recordLength == 0) return live;
  live.reserve(static_cast<std::size_t>(area.recCount));
  const auto perBlock =
      static_cast<std::int32_t>(std::max<std::size_t>(1, kBlockBytes / area.recordLength));
  std::vector<std::uint8_t> block;
  for (std::int32_t first = 1; first <= area.recCount; first += perBlock) {
    const std::int32_t count = std::min(perBlock, area.recCount - first + 1);
    block.resize(static_cast<std::size_t>(count) * area.recordLength);
    std::size_t done = 0;
    if (area.file.ReadAt(OffsetOf(area, first), block.data(), block.size(), done) != 0) break;
    const auto records = static_cast<std::int32_t>(done / area.recordLength);
    for (std::int32_t i = 0; i < records; ++i) {
      if (!RawDeleted(&block[static_cast<std::size_t>(i) * area.recordLength])) {
        live.push_back(first + i);
      }
    }
    if (records < count) break;
  }
  return live;
}

std::string RawFieldText(const std::uint8_t* record, const FieldDescriptor& f) {
  const std::string stored(reinterpret_cast<const char*>(record + f.offset), f.length);
  switch (f.type) {
    case 'C':
      return stored;
    case 'D':
      return DtosToDate(stored);
    case 'L':
      return LogicalLetters.substr(
          stored.empty() || std::strchr("TtYy", stored[0]) == nullptr ? 0 : 1, 1);
    case 'M': {
      const std::int64_t reference = ParseFieldInt(stored);
      return reference == 0 ? "none" : (reference < 0 ? "BLOB" : "MEMO");
    }
    case 'F':
    case 'N':
      if (f.decimals > 0) return StrDec(f.length, f.decimals, ParseFieldReal(stored));
      return IntToStrW(ParseFieldInt(stored), f.length);
    default:
      return stored;
  }
}

}  // namespace dadav
