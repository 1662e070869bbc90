#include "tables/modules/memo/memowrite.h"

#include <string>

#include "tables/core/tztext.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memolines.h"

namespace dadav {
namespace {

// Stored text of the lines: each line's text, then CR LF after a hard end and 0x8D LF after a
// soft one.
std::string StoredLines(const MemoControl& memo) {
  std::string data;
  for (std::size_t i = 0; i < MemoLines.Count(); ++i) {
    const std::size_t start = data.size();
    data.append(MemoLines.Text(i));
    EngineToMemo(memo, data.data() + start, data.size() - start);
    if (MemoLines.End(i) != kLineEndNone) {
      data.push_back(static_cast<char>(MemoLines.End(i)));
      data.push_back('\n');
    }
  }
  return data;
}

// The old run of a memo being rewritten, when its group header shows at least `needed` blocks
// and the run lies inside the file; its offset goes to at.
bool OldRunFits(MemoControl& memo, std::int64_t oldBlock, std::uint64_t needed, std::uint64_t& at) {
  if (oldBlock <= 0 || oldBlock > kMaxMemoBlock) return false;
  const std::uint64_t start = static_cast<std::uint64_t>(oldBlock) * memo.blockSize;
  std::uint64_t size = 0;
  if (start < HeaderBytes(memo.memoType) || MemoFileSize(memo, size) != 0) return false;
  std::uint8_t header[kGroupHeaderBytes] = {};
  std::size_t done = 0;
  if (MemoRead(memo, start, header, sizeof header, done) != 0 || done < sizeof header) return false;
  std::uint64_t length = 0;
  if (!ParseGroupHeader(memo.memoType, header, done, length)) return false;
  const std::uint64_t blocks = NextFreeBlock(length + kGroupHeaderBytes, memo.blockSize);
  const std::uint64_t fileBlocks = NextFreeBlock(size, memo.blockSize);
  if (blocks < needed || start / memo.blockSize + blocks > fileBlocks) return false;
  at = start;
  return true;
}

}  // namespace

int WriteMemoRecord(MemoControl& memo, std::uint64_t at, std::uint64_t pad, std::string_view data,
                    bool groupForm) {
  if (groupForm && data.size() > kMaxGroupData) return 1005;
  std::string bytes(pad, '\0');
  bytes.reserve(pad + data.size() + memo.blockSize + kGroupHeaderBytes);
  if (groupForm) {
    const auto header = GroupHeader(memo.memoType, static_cast<std::uint32_t>(data.size()));
    bytes.append(reinterpret_cast<const char*>(header.data()), header.size());
    bytes.append(data);
  } else {
    bytes.append(data);
    bytes.append(kTextEnd);
    const std::size_t used = (bytes.size() - pad) % memo.blockSize;
    if (used != 0) bytes.append(memo.blockSize - used, '\0');
  }
  return MemoWrite(memo, at, bytes.data(), bytes.size());
}

int WriteMemoRecord(MemoControl& memo, const AppendPosition& position, std::string_view data,
                    bool groupForm) {
  return WriteMemoRecord(memo, position.writeFrom, position.recordStart - position.writeFrom, data,
                         groupForm);
}

std::int64_t AddMemo(std::string_view text) {
  if (CheckMemoArea("AddMemo")) return 0;
  MemoControl& memo = *CurrentMemo();
  if (RTrim(text).empty()) return 0;
  std::string data(text.substr(0, text.find_last_not_of(' ') + 1));
  EngineToMemo(memo, data.data(), data.size());
  AppendPosition position;
  if (!LockMemoPadAndSeekEOF(memo, "AddMemo()", position)) return 0;
  if (const int code = WriteMemoRecord(memo, position, data, memo.memoType != kMemoTypeA);
      code != 0) {
    ReportMemoError(&memo, static_cast<std::uint16_t>(code), memo.fileName + " [AddMemo]");
    return 0;
  }
  if (!UpdateMemoHeader(memo)) return 0;
  return position.Block(memo);
}

std::int64_t EditMemo() {
  if (CheckMemoArea("EditMemo/CloseMemo")) return 0;
  MemoControl& memo = *CurrentMemo();
  if (MemoLines.Count() == 0) {
    MemoLines.Clear();
    return 0;
  }
  const std::string data = StoredLines(memo);
  const bool groupForm = memo.memoType != kMemoTypeA;
  const std::uint64_t size = data.size() + (groupForm ? kGroupHeaderBytes : kTextEnd.size());
  if (!DiskHasRoom(memo, size)) {
    ReportMemoError(&memo, 1004, memo.fileName + " [EditMemo/CloseMemo]");
    return 0;
  }
  AppendPosition position;
  if (!LockMemoPadAndSeekEOF(memo, "EditMemo/CloseMemo", position)) return 0;
  std::uint64_t at = 0;
  if (ReusesRuns(memo.memoType) &&
      OldRunFits(memo, MemoLines.block, NextFreeBlock(size, memo.blockSize), at)) {
    position.writeFrom = position.recordStart = at;
  }
  if (const int code = WriteMemoRecord(memo, position, data, groupForm); code != 0) {
    ReportMemoError(&memo, 29, memo.fileName + " [EditMemo/CloseMemo]");
    return 0;
  }
  MemoLines.Clear();
  if (!UpdateMemoHeader(memo)) return 0;
  return position.Block(memo);
}

}  // namespace dadav
