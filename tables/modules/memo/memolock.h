#pragma once
// The steps every memo write takes in a shared file: lock byte 10 of the memo file, find the
// block boundary at the file's end where the new record goes, and after the write put the next
// free block into the header and unlock. An exclusive file takes no lock.

#include <cstdint>
#include <string>

#include "tables/modules/memo/memofile.h"

namespace dadav {

// 1017 after 11 refused attempts (over about half a second), reported with the tag.
bool LockMemoFile(MemoControl& memo, const std::string& tag);
// 0, or 1018 reported.
bool UnlockMemoFile(MemoControl& memo);

// Where a record appended at the file's end goes: recordStart is the block boundary it starts
// at, writeFrom the file's end (zero bytes fill the gap) or, over the 0x1A that ends a new
// type-0x83 file, recordStart itself.
struct AppendPosition {
  std::uint64_t writeFrom = 0;
  std::uint64_t recordStart = 0;
  std::int64_t Block(const MemoControl& memo) const;
};

// The append position of a file of size bytes.
AppendPosition EndPosition(const MemoControl& memo, std::uint64_t size);

// Locks and finds the append position; false after a reported error.
bool LockMemoPadAndSeekEOF(MemoControl& memo, const std::string& tag, AppendPosition& position);

// Writes the next free block of a file of size bytes into the header; 0 or the I/O code.
int WriteNextFreeBlock(MemoControl& memo, std::uint64_t size);

// Writes the next free block (and, for types 0x8B and 0x8C, the header counter), then unlocks;
// false after a reported error.
bool UpdateMemoHeader(MemoControl& memo);

// Writes the group header of a record of dataLength bytes at offset; 0 or the I/O code.
int WriteGroupHeader(MemoControl& memo, std::uint64_t offset, std::uint64_t dataLength);

}  // namespace dadav
