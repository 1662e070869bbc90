#include "tables/modules/memo/memocopy.h"

#include <cstring>
#include <string>
#include <string_view>

#include "tables/core/dbf4area.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memoreader.h"

namespace dadav {
namespace {

constexpr std::size_t kFlushBytes = 65536;

// Collects a record on its way into the target and writes it in large pieces; the group
// header, whose length is known only at the end, goes into its place last.
class RecordCopy {
 public:
  RecordCopy(MemoControl& to, const AppendPosition& position, bool groupForm)
      : to_(to),
        recordStart_(position.recordStart),
        bufferAt_(position.writeFrom),
        groupForm_(groupForm) {
    buffer_.assign(position.recordStart - position.writeFrom, '\0');
    if (groupForm_) buffer_.append(kGroupHeaderBytes, '\0');
  }

  bool Append(std::string_view piece) {
    buffer_.append(piece);
    dataLength_ += piece.size();
    return buffer_.size() < kFlushBytes || Flush();
  }

  int Finish() {
    if (groupForm_) {
      if (dataLength_ > kMaxGroupData) return 1005;
      const auto header = GroupHeader(to_.memoType, static_cast<std::uint32_t>(dataLength_));
      if (bufferAt_ <= recordStart_) {
        std::memcpy(buffer_.data() + (recordStart_ - bufferAt_), header.data(), header.size());
      } else if (MemoWrite(to_, recordStart_, header.data(), header.size()) != 0) {
        return 1005;
      }
    } else {
      buffer_.append(kTextEnd);
      const std::uint64_t used = (bufferAt_ + buffer_.size() - recordStart_) % to_.blockSize;
      if (used != 0) buffer_.append(to_.blockSize - used, '\0');
    }
    return Flush() ? 0 : 1005;
  }

 private:
  bool Flush() {
    if (MemoWrite(to_, bufferAt_, buffer_.data(), buffer_.size()) != 0) return false;
    bufferAt_ += buffer_.size();
    buffer_.clear();
    return true;
  }

  MemoControl& to_;
  std::uint64_t recordStart_;
  std::uint64_t bufferAt_;
  bool groupForm_;
  std::string buffer_;
  std::uint64_t dataLength_ = 0;
};

// 0 when the record's data holds neither 0x00 nor 0x1A, 1 when it does, else the read code.
int HoldsTextEnd(const MemoControl& from, std::int64_t block) {
  MemoRecordReader reader;
  if (const int code = reader.Start(from, block); code != 0) return code;
  std::string_view piece;
  while (reader.Next(piece)) {
    if (piece.find_first_of(std::string_view("\x1A\0", 2)) != std::string_view::npos) return 1;
  }
  return reader.Code();
}

}  // namespace

int CopyMemoData(const MemoControl& from, std::int64_t block, MemoControl& to,
                 const AppendPosition& position, bool& groupForm) {
  MemoRecordReader reader;
  if (const int code = reader.Start(from, block); code != 0) return code == 1003 ? 1003 : 30;
  groupForm = to.memoType != kMemoTypeA;
  if (!groupForm && reader.GroupForm()) {
    const int holds = HoldsTextEnd(from, block);
    if (holds > 1) return 30;
    groupForm = holds == 1;
  }
  RecordCopy copy(to, position, groupForm);
  std::string_view piece;
  while (reader.Next(piece)) {
    if (!copy.Append(piece)) return 1005;
  }
  if (reader.Code() != 0) return 30;
  return copy.Finish();
}

std::int64_t CopiedReference(const MemoControl& to, std::int64_t block, bool groupForm) {
  if (block < 0) block = -block;
  return to.memoType == kMemoTypeA && groupForm ? -block : block;
}

std::int64_t CopyMemo(std::uint8_t sourceArea, std::int64_t block, bool sameNumber) {
  if (block == 0 || CheckMemoArea("AppendFrom/CopyTo")) return 0;
  MemoControl& to = *CurrentMemo();
  const MemoControl* from = MemoOfArea(sourceArea);
  if (from == nullptr) {
    const WorkArea* source = sourceArea <= kAreaCount ? WorkAreaTable[sourceArea].get() : nullptr;
    ReportMemoError(&to, 1019,
                    (source != nullptr ? source->fileName : std::string()) +
                        " No Memo Field [AppendFrom/CopyTo]");
    return 0;
  }
  AppendPosition position;
  if (!LockMemoPadAndSeekEOF(to, "CopyMemo()", position)) return 0;
  if (sameNumber) {
    if (!BlockOffset(to, block, position.recordStart) ||
        position.recordStart < HeaderBytes(to.memoType)) {
      ReportMemoError(&to, 1003, to.fileName + " [AppendFrom/CopyTo]");
      return 0;
    }
    position.writeFrom = position.recordStart;
  }
  bool groupForm = false;
  if (const int code = CopyMemoData(*from, block, to, position, groupForm); code != 0) {
    ReportMemoError(&to, static_cast<std::uint16_t>(code), to.fileName + " [AppendFrom/CopyTo]");
    return 0;
  }
  if (!UpdateMemoHeader(to)) return 0;
  return CopiedReference(to, position.Block(to), groupForm);
}

}  // namespace dadav
