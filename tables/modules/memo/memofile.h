#pragma once
// The open memo file of a work area (`MemoControl`, held by the area) and the reads and writes
// on it. An exclusive file keeps its size in memory, so that appending a memo costs no size
// query; a shared one asks the file system each time, since other programs append too.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/blockfile.h"
#include "tables/core/turnstilelook.h"

namespace dadav {

// The state of the one blob stream a work area may have open.
struct BlobDescriptor {
  bool open = false;
  std::uint8_t mode = 0;     // 1 read, 2 write
  std::int64_t length = -1;  // -1 while unknown: a text-form record ends at its first 0x1A
  std::uint64_t dataStart = 0;
  std::uint32_t headerLength = 0;
  std::uint64_t position = 0;
  std::int64_t block = 0;
  std::int32_t textFlag = 0;    // -1 decide from the data, 0 binary, 1 text
  std::uint64_t highWater = 0;  // the highest position written: the data length at closing
  // The record's first data bytes, read when the blob was opened for reading: headBytes of
  // them in the control's blobBuffer, from headFrom on.
  std::size_t headFrom = 0;
  std::size_t headBytes = 0;
};

struct MemoControl {
  platform::BlockFile file;
  std::uint8_t memoType = 0;
  std::uint16_t blockSize = 512;
  bool lockHeld = false;
  std::string fileName;
  BlobDescriptor blob;
  std::vector<std::uint8_t> blobBuffer;  // kept from one blob to the next
  std::uint16_t openMode = 0;            // the mode it was opened in, for reopening after PACK
  bool tableIsOem = false;
  std::uint64_t cachedSize = 0;  // valid while the file is exclusive
  // The bytes the first read of a record takes: enough for the last record read, so that a file
  // of like-sized memos reads each with one call and no more bytes than it needs.
  std::size_t firstRead = 4096;
  // Blocks the reader read since the last header update; the header counter of types 0x8B and
  // 0x8C grows by them.
  std::uint64_t blocksRead = 0;
  TurnstileLook turnstileLook;
};

// The current area's memo file; nullptr when it has none.
MemoControl* CurrentMemo();
std::shared_ptr<MemoControl> CurrentMemoShared();
MemoControl* MemoOfArea(std::uint8_t area);

// True after reporting: no table in the current area (215) or no memo file (1019).
bool CheckMemoArea(const std::string& tag);
// Releases the memo lock, then reports.
void ReportMemoError(MemoControl* memo, std::uint16_t code, const std::string& text);

bool MemoShared(const MemoControl& memo);
int MemoFileSize(const MemoControl& memo, std::uint64_t& size);
// Reads up to n bytes at offset; fewer at the file's end. 0 or the I/O code.
int MemoRead(const MemoControl& memo, std::uint64_t offset, void* buffer, std::size_t n,
             std::size_t& done);
// Writes n bytes at offset; 0 or the I/O code (101 for a short write).
int MemoWrite(MemoControl& memo, std::uint64_t offset, const void* buffer, std::size_t n);

// True when the memo file's folder has more free KiB (rounded down) than bytes takes (rounded
// up), or when its free space is unknown.
bool DiskHasRoom(const MemoControl& memo, std::uint64_t bytes);

// Sizes the next first read after a record of `bytes` bytes (header included).
void NoteRecordBytes(MemoControl& memo, std::uint64_t bytes);

// Converts the bytes between the table's code page and the engine's, in place, when the memo
// file belongs to a DOS code-page table.
void MemoToEngine(const MemoControl& memo, char* bytes, std::size_t n);
void EngineToMemo(const MemoControl& memo, char* bytes, std::size_t n);

// Selects an area for its lifetime and selects the one before again on every way out.
class AreaSelection {
 public:
  explicit AreaSelection(std::uint8_t area);
  ~AreaSelection();
  AreaSelection(const AreaSelection&) = delete;
  AreaSelection& operator=(const AreaSelection&) = delete;

 private:
  std::uint8_t previous_;
};

}  // namespace dadav
