#pragma once
// The control block of one work area: an open table (or a virtual file) with its header,
// buffers, position and locks.

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/blockfile.h"
#include "tables/core/turnstilelook.h"

namespace dadav {

// The most records a table holds: the end-of-file position, one past the last record, must stay
// a record number.
inline constexpr std::int32_t kMaxRecordCount = std::numeric_limits<std::int32_t>::max() - 1;

struct FieldDescriptor {
  std::string name;
  char type = 'C';
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
  std::uint16_t offset = 0;
  // A virtual file's M field is kept as N(10,0) but holds a 32-bit memo reference, so that its
  // records match a table's native records byte for byte.
  bool memoReference = false;
};

// The request record through which the core talks to the virtual-file module.
struct VFileState {
  bool isVirtual = false;
  std::uint16_t operation = 0;
  std::int32_t recordNumber = 0;
  std::uint8_t storageKind = 1;
  std::uint8_t listMode = 0;
  std::shared_ptr<void> moduleState;  // owned by the virtual-file module
};

// Records of an exclusive table read ahead as they stand in the file, so that a scan costs one
// read per block; a block read before the file's last change is never used.
struct RecordBlock {
  std::vector<std::uint8_t> bytes;
  std::int32_t first = 0;  // record number of the first record held
  std::int32_t count = 0;
  std::uint64_t fileChanges = 0;
  std::size_t nextBytes = 0;  // how much the next block reads
};

// How a field converts between its stored text and its native value, worked out once per
// table rather than for every field of every record.
enum class FieldKind : std::uint8_t { kText, kDate, kLogical, kMemo, kReal, kInt32, kInt64, kNone };
struct FieldStep {
  FieldKind kind = FieldKind::kNone;
  std::uint16_t rawAt = 0;
  std::uint16_t nativeAt = 0;
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
  std::uint16_t nativeSize = 0;
};

// The date settings dates are shown in when converted.
struct DateShown {
  std::uint8_t format = 0;
  bool century = false;
  bool operator==(const DateShown&) const = default;
};

// The stored bytes and native values of the last converted record: a date or memo field
// whose stored bytes repeat takes its native value from here instead of being converted
// again (a scan meets the same date over and over). And the native form of a blank record,
// which every new record starts from.
struct ConvertedRecord {
  std::vector<FieldStep> steps;   // one per field; empty: not worked out yet
  std::vector<std::uint8_t> raw;  // empty: nothing converted yet
  std::vector<std::uint8_t> native;
  DateShown dates;
  std::vector<std::uint8_t> blankNative;  // empty: not made yet
  DateShown blankDates;
};

enum TableState : std::uint8_t { kClosed = 0, kOpen = 1, kChanged = 2, kAppended = 3 };
enum LockState : std::uint8_t { kNoLock = 0, kFileLock = 1, kAppendLock = 2, kRecordLocks = 3 };

struct WorkArea {
  std::string fileName;
  std::string shortName;
  std::array<std::uint8_t, 32> prolog{};
  bool hasMemo = false;
  bool hideDeleted = false;
  std::int32_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::uint8_t fieldCount = 0;
  std::vector<FieldDescriptor> fields;
  // Where each field's value lies in the native record, for a table (its fields never change).
  std::vector<std::uint16_t> nativeOffsets;
  TableState state = kClosed;
  std::string dbfDateStamp;
  std::vector<std::uint8_t> raw;     // the current record, texts in the engine's code page
  std::vector<std::uint8_t> stored;  // raw in the table's code page, on its way to disk
  RecordBlock block;
  ConvertedRecord converted;
  // The file's change count when our own append left an exclusive table ending exactly where
  // the next record goes, so that the next append need not look at the file's end.
  std::uint64_t endsAtNextRecord = 0;
  std::int32_t recCount = 0;
  std::int32_t recNo = 0;
  bool eof = false;
  bool bof = false;
  std::uint16_t openMode = 0;
  bool tableIsOem = false;
  platform::BlockFile file;
  VFileState vfile;
  std::uint8_t* native = nullptr;
  std::uint16_t nativeSize = 0;
  bool nativeOwned = false;
  std::vector<std::uint8_t> ownedNative;
  std::string alias;
  LockState lockState = kNoLock;
  std::deque<std::int32_t> recordLocks;  // newest first
  bool firstByteLocked = false;
  TurnstileLook turnstileLook;
  std::vector<std::uint8_t> swap;
  bool exclusive = false;
  std::shared_ptr<void> memoState;  // the open memo file, owned by the memo module

  std::uint8_t Version() const { return prolog[0]; }
};

// Byte-range lock layout of every table.
constexpr std::uint64_t kLockBase = 0x40000000;
constexpr std::uint64_t kFileLockLength = 0x3FFFFFFF;
constexpr std::uint64_t kAppendByte = kLockBase + 1;

}  // namespace dadav
