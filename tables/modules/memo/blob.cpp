#include "tables/modules/memo/blob.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "tables/core/dbf4area.h"
#include "tables/modules/memo/memofile.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memolock.h"
#include "tables/modules/memo/memoreader.h"

namespace dadav {
namespace {

constexpr std::size_t kChunk = 32767;
constexpr std::size_t kScanRead = 4096;
constexpr std::int64_t kMaxPosition = std::numeric_limits<std::int64_t>::max() / 4;

void ReportBlobError(MemoControl& memo, int code, const char* tag) {
  const std::string text = std::to_string(memo.blob.block) + " " + memo.fileName + " Record # " +
                           std::to_string(RecNo()) + " [" + tag + "]";
  memo.blob = BlobDescriptor{};
  ReportMemoError(&memo, static_cast<std::uint16_t>(code), text);
}

// The blob of the current area when it is open in mode; nullptr otherwise.
MemoControl* OpenBlobOf(const char* tag, std::uint8_t mode) {
  if (CheckMemoArea(tag)) return nullptr;
  MemoControl* memo = CurrentMemo();
  return memo->blob.open && memo->blob.mode == mode ? memo : nullptr;
}

std::int64_t Reference(const MemoControl& memo, std::int64_t block) {
  return memo.memoType == kMemoTypeA ? -block : block;
}

void DecideText(BlobDescriptor& blob, std::int32_t textMode, std::string_view chunk) {
  if (textMode == 1) {
    blob.textFlag = 1;
  } else if (textMode != 0) {
    blob.textFlag = 0;
  } else if (blob.textFlag == -1) {
    blob.textFlag = IsPlainText(chunk) ? 1 : 0;
  }
}

std::int64_t OpenForReading(MemoControl& memo, std::int64_t block) {
  BlobDescriptor& blob = memo.blob;
  blob.mode = kBlobRead;
  blob.block = block;
  blob.open = true;
  if (block == 0) {
    blob.length = 0;
    return 0;
  }
  std::uint64_t start = 0;
  if (!BlockOffset(memo, block, start)) {
    ReportBlobError(memo, 1003, "CreateBlobDescriptor");
    return 0;
  }
  const std::size_t first = std::max<std::size_t>(memo.firstRead, memo.blockSize);
  if (memo.blobBuffer.size() < first) memo.blobBuffer.resize(first);
  std::size_t done = 0;
  int code = MemoRead(memo, start, memo.blobBuffer.data(), first, done);
  if (code == 0 && done == 0) code = 1003;
  if (code != 0) {
    ReportBlobError(memo, code, "CreateBlobDescriptor");
    return 0;
  }
  std::uint64_t length = 0;
  const bool group = ParseGroupHeader(memo.memoType, memo.blobBuffer.data(), done, length);
  blob.headerLength = group ? static_cast<std::uint32_t>(kGroupHeaderBytes) : 0;
  blob.length = group ? static_cast<std::int64_t>(length) : -1;
  blob.dataStart = start + blob.headerLength;
  blob.headFrom = std::min<std::size_t>(blob.headerLength, done);
  blob.headBytes = done - blob.headFrom;
  if (group) NoteRecordBytes(memo, blob.headerLength + length);
  return Reference(memo, block < 0 ? -block : block);
}

std::int64_t OpenForWriting(MemoControl& memo) {
  AppendPosition position;
  if (!LockMemoPadAndSeekEOF(memo, "CreateBlobDescriptor", position)) return 0;
  BlobDescriptor& blob = memo.blob;
  blob.mode = kBlobWrite;
  blob.block = position.Block(memo);
  blob.dataStart = position.recordStart + kGroupHeaderBytes;
  blob.headerLength = static_cast<std::uint32_t>(kGroupHeaderBytes);
  blob.open = true;
  return Reference(memo, blob.block);
}

// Reads n data bytes at pos, from the bytes read at opening as far as they reach; fewer at the
// file's end.
int ReadData(const MemoControl& memo, std::uint64_t pos, char* out, std::size_t n,
             std::size_t& got) {
  const BlobDescriptor& blob = memo.blob;
  got = 0;
  if (pos < blob.headBytes) {
    got = std::min<std::size_t>(n, static_cast<std::size_t>(blob.headBytes - pos));
    std::memcpy(out, memo.blobBuffer.data() + blob.headFrom + pos, got);
  }
  if (got == n) return 0;
  std::size_t more = 0;
  const int code = MemoRead(memo, blob.dataStart + pos + got, out + got, n - got, more);
  got += more;
  return code;
}

// The length of a text-form record: the bytes before its first 0x1A, or to the file's end.
bool LearnLength(MemoControl& memo) {
  BlobDescriptor& blob = memo.blob;
  std::string buffer(kScanRead, '\0');
  for (std::uint64_t pos = 0;; pos += buffer.size()) {
    std::size_t got = 0;
    if (const int code = ReadData(memo, pos, buffer.data(), buffer.size(), got); code != 0) {
      ReportBlobError(memo, code, "SeekBlob");
      return false;
    }
    const std::size_t end = std::string_view(buffer.data(), got).find('\x1A');
    if (end != std::string_view::npos || got < buffer.size()) {
      blob.length = static_cast<std::int64_t>(pos + std::min(end, got));
      return true;
    }
  }
}

// Cuts, decides and converts the bytes just read, chunk by chunk; the bytes the read returns.
std::size_t TakeChunks(MemoControl& memo, char* bytes, std::size_t n, std::int32_t textMode) {
  BlobDescriptor& blob = memo.blob;
  for (std::size_t at = 0; at < n; at += kChunk) {
    std::size_t size = std::min(kChunk, n - at);
    bool ended = false;
    if (blob.length < 0) {
      const std::size_t end = std::string_view(bytes + at, size).find('\x1A');
      if (end != std::string_view::npos) {
        size = end;
        ended = true;
        blob.length = static_cast<std::int64_t>(blob.position + at + end);
      }
    }
    DecideText(blob, textMode, std::string_view(bytes + at, size));
    if (blob.textFlag == 1) MemoToEngine(memo, bytes + at, size);
    if (ended) return at + size;
  }
  return n;
}

}  // namespace

std::int64_t OpenBlob(bool decideText, std::int64_t block, std::uint8_t mode) {
  if (CheckMemoArea("OpenBlob")) return 0;
  MemoControl& memo = *CurrentMemo();
  if (memo.blob.open && memo.blob.mode == kBlobWrite) UnlockMemoFile(memo);
  memo.blob = BlobDescriptor{};
  memo.blob.textFlag = decideText ? -1 : 0;
  return mode == kBlobWrite ? OpenForWriting(memo) : OpenForReading(memo, block);
}

std::int64_t ReadBlobStream(void* buffer, std::int64_t count, std::int32_t textMode) {
  MemoControl* memo = OpenBlobOf("ReadBlobStream", kBlobRead);
  if (memo == nullptr || count < 1) return 0;
  BlobDescriptor& blob = memo->blob;
  auto wanted = static_cast<std::uint64_t>(count);
  if (blob.length >= 0) {
    const auto length = static_cast<std::uint64_t>(blob.length);
    wanted = blob.position >= length ? 0 : std::min(wanted, length - blob.position);
  }
  if (wanted == 0) return 0;
  auto* bytes = static_cast<char*>(buffer);
  std::size_t got = 0;
  if (const int code = ReadData(*memo, blob.position, bytes, wanted, got); code != 0) {
    ReportBlobError(*memo, code, "ReadBlobStream");
    return 0;
  }
  const std::size_t taken = TakeChunks(*memo, bytes, got, textMode);
  blob.position += taken;
  return static_cast<std::int64_t>(taken);
}

std::int64_t WriteBlobStream(const void* buffer, std::int64_t count, std::int32_t textMode) {
  MemoControl* memo = OpenBlobOf("WriteBlobStream", kBlobWrite);
  if (memo == nullptr || count < 1) return 0;
  BlobDescriptor& blob = memo->blob;
  // The group header states the length in 32 bits.
  const std::uint64_t room = blob.position >= kMaxGroupData ? 0 : kMaxGroupData - blob.position;
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, room));
  if (n == 0) return 0;
  std::string bytes(static_cast<const char*>(buffer), n);
  for (std::size_t at = 0; at < n; at += kChunk) {
    const std::size_t size = std::min(kChunk, n - at);
    DecideText(blob, textMode, std::string_view(bytes.data() + at, size));
    if (blob.textFlag == 1) EngineToMemo(*memo, bytes.data() + at, size);
  }
  int code = MemoWrite(*memo, blob.dataStart + blob.position, bytes.data(), n);
  std::uint64_t size = 0;
  if (code == 0) code = MemoFileSize(*memo, size);
  if (code == 0) code = WriteNextFreeBlock(*memo, size);
  if (code != 0) {
    ReportBlobError(*memo, code, "WriteBlobStream");
    return 0;
  }
  blob.position += n;
  blob.highWater = std::max(blob.highWater, blob.position);
  return static_cast<std::int64_t>(n);
}

std::int64_t SeekBlob(std::int64_t offset, std::uint16_t origin) {
  if (CheckMemoArea("SeekBlob")) return 0;
  MemoControl& memo = *CurrentMemo();
  BlobDescriptor& blob = memo.blob;
  if (!blob.open || blob.block == 0) return 0;
  std::int64_t base = 0;
  if (origin == 1) {
    base = static_cast<std::int64_t>(blob.position);
  } else if (origin == 2) {
    if (blob.mode == kBlobWrite) {
      base = static_cast<std::int64_t>(blob.highWater);
    } else {
      if (blob.length < 0 && !LearnLength(memo)) return 0;
      base = blob.length;
    }
  }
  offset = std::clamp<std::int64_t>(offset, -kMaxPosition, kMaxPosition);
  const std::int64_t target = std::clamp<std::int64_t>(base + offset, 0, kMaxPosition);
  blob.position = static_cast<std::uint64_t>(target);
  return target;
}

void CloseBlob() {
  if (CheckMemoArea("CloseBlob")) return;
  MemoControl& memo = *CurrentMemo();
  BlobDescriptor& blob = memo.blob;
  if (blob.open && blob.mode == kBlobWrite && blob.highWater > 0) {
    const std::uint64_t recordStart = blob.dataStart - kGroupHeaderBytes;
    if (const int code = WriteGroupHeader(memo, recordStart, blob.highWater); code != 0) {
      ReportBlobError(memo, code, "CloseBlob");
      return;
    }
  }
  const bool locked = blob.open && blob.mode == kBlobWrite;
  memo.blob = BlobDescriptor{};
  if (locked) UnlockMemoFile(memo);
}

}  // namespace dadav
