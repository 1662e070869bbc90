#include "tables/modules/memo/memopack.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4packcommit.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/modules/memo/memocopy.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memolock.h"
#include "tables/modules/memo/memoreader.h"

namespace dadav {
namespace {

constexpr std::size_t kScanBytes = 65520;

// A field text that the packed memo file needs, at its byte offset in the table file.
struct FieldUpdate {
  std::uint64_t offset;
  std::string text;
};

struct PackFailure {
  std::uint16_t code = 0;
  std::string message;
};

// Writes the field texts into the new table; 0 or the I/O code.
int WriteFieldTexts(const platform::BlockFile& table, const std::vector<FieldUpdate>& updates) {
  for (const FieldUpdate& update : updates) {
    std::size_t done = 0;
    int code = table.WriteAt(update.offset, update.text.data(), update.text.size(), done);
    if (code == 0 && done < update.text.size()) code = 101;
    if (code != 0) return code;
  }
  return 0;
}

class MemoPacker {
 public:
  MemoPacker(const WorkArea& area, MemoControl& memo, const platform::BlockFile& table,
             std::int32_t records, std::string& newName)
      : area_(area), memo_(memo), table_(table), records_(records), newName_(newName) {}

  bool Run() {
    std::uint64_t size = 0;
    if (MemoFileSize(memo_, size) == 0 && !DiskHasRoom(memo_, size)) {
      ReportMemoError(&memo_, 1012, memo_.fileName + " [PackMemofile]");
      return false;
    }
    PackFailure failure;
    if (!CopyAll(size, failure) || !Seal(failure)) {
      target_.file.Close();
      if (created_) EraseFile(newName_);
      // A new file refused its attributes is reported already.
      if (failure.code != 0) ReportMemoError(&memo_, failure.code, failure.message);
      return false;
    }
    return true;
  }

 private:
  bool Fail(PackFailure& failure, int code, const std::string& message) {
    failure.code = static_cast<std::uint16_t>(code);
    failure.message = message;
    return false;
  }

  bool StartNewFile(PackFailure& failure) {
    int code =
        CreatePackedFile(memo_.fileName, PackedMemoName(memo_.fileName), target_.file, newName_);
    if (code < 0) return false;
    created_ = code == 0;
    target_.fileName = newName_;
    target_.memoType = memo_.memoType;
    target_.blockSize = memo_.blockSize;
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

  // Every memo the new table's records refer to into the new memo file.
  bool CopyAll(std::uint64_t oldSize, PackFailure& failure) {
    if (!StartNewFile(failure)) return false;
    const std::size_t length = area_.recordLength;
    const std::size_t perBlock =
        std::max<std::size_t>(1, kScanBytes / std::max<std::size_t>(1, length));
    std::vector<std::uint8_t> block(perBlock * length);
    for (std::int64_t first = 1; first <= records_; first += static_cast<std::int64_t>(perBlock)) {
      const auto records = static_cast<std::size_t>(
          std::min<std::int64_t>(static_cast<std::int64_t>(perBlock), records_ - first + 1));
      const std::uint64_t offset = static_cast<std::uint64_t>(area_.headerLength) +
                                   static_cast<std::uint64_t>(first - 1) * length;
      std::size_t done = 0;
      int code = table_.ReadAt(offset, block.data(), records * length, done);
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

  // The new file's header, synced and closed; then the new references.
  bool Seal(PackFailure& failure) {
    int code = WriteNextFreeBlock(target_, target_.cachedSize);
    if (code == 0) code = target_.file.Sync();
    target_.file.Close();
    if (code != 0) return Fail(failure, code, newName_ + " [PackMemofile]");
    code = WriteFieldTexts(table_, updates_);
    return code == 0 || Fail(failure, code, area_.fileName + " [PackMemofile]");
  }

  const WorkArea& area_;
  MemoControl& memo_;
  const platform::BlockFile& table_;
  std::int32_t records_;
  MemoControl target_;
  std::string& newName_;
  std::vector<FieldUpdate> updates_;
  bool created_ = false;
};

}  // namespace

bool PackMemofile(const platform::BlockFile& newTable, std::int32_t records, std::string& memoName,
                  std::string& newMemoName) {
  if (CheckMemoArea("PackMemofile")) return false;
  MemoControl& memo = *CurrentMemo();
  memoName = memo.fileName;
  return MemoPacker(*Area(), memo, newTable, records, newMemoName).Run();
}

}  // namespace dadav
