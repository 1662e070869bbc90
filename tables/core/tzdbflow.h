#pragma once
// The DBF file layer: header and descriptors, single-record reads and writes, the header's
// date and count, the end-of-file mark, new tables and their memo files, and the conversion
// between stored records and native field values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/core/workarea.h"

namespace dadav {

extern std::uint8_t MemoType;
extern std::uint16_t MemoBlockSize;
extern bool CountFromFileSize;

bool IsDbf2(std::uint8_t version);
bool IsLevel7(std::uint8_t version);
bool ValidDbfVersion(std::uint8_t version);
std::string MemoExt(std::uint8_t memoType);

// Bytes of a field in the native record: C length + 1, D length + 3, N and F with decimals 8,
// without decimals 4 up to length 9 and 8 from length 10, L 1, M 4; a memo reference kept as N
// takes 4.
// An integer N or F field of 10 digits or more holds its value in 64 bits.
inline bool WideInteger(const FieldDescriptor& field) {
  return field.length >= 10;
}

inline std::uint16_t NativeFieldSize(const FieldDescriptor& field) {
  switch (field.type) {
    case 'C':
      return static_cast<std::uint16_t>(field.length + 1);
    case 'D':
      return static_cast<std::uint16_t>(field.length + 3);
    case 'F':
    case 'N':
      if (field.memoReference) return 4;
      return (field.decimals > 0 || WideInteger(field)) ? 8 : 4;
    case 'L':
      return 1;
    case 'M':
      return 4;
    default:
      return 0;
  }
}
std::uint16_t NativeSizeOf(const WorkArea& area);
// The place of each field's value in the native record.
std::vector<std::uint16_t> NativeOffsetsOf(const WorkArea& area);

// The whole records past the header of a file of fileSize bytes (at least the header), at most
// kMaxRecordCount.
std::int32_t RecordsInFile(const WorkArea& area, std::uint64_t fileSize);

void OpenDbf(WorkArea& area);
void GetDbfRecord(WorkArea& area, std::int32_t n);
// Record n of an exclusive table from its read-ahead block, texts in the engine's code page,
// the block read forward from n when it does not hold it, so a scan that does not move the
// area reads a block at a time; nullptr for any other table or a record the file lacks.
const std::uint8_t* RecordInBlock(WorkArea& area, std::int32_t n);
void PutDbfRecord(WorkArea& area, std::int32_t n);

// What a table's file held where a record was appended, and the area's count, position and
// state before it: all that TakeBackAppend needs to put back.
struct AppendedRecord {
  std::int32_t count = 0;
  std::int32_t recNo = 0;
  TableState state = kClosed;
  std::uint64_t offset = 0;
  std::uint64_t fileSize = 0;
  std::vector<std::uint8_t> overwritten;
};

void AppendDbfRecord(WorkArea& area, AppendedRecord& before);
// Cuts the record AppendDbfRecord wrote off again and puts back the bytes it overwrote, and the
// count (in the header too when the table is shared), position and state of before: all within
// the file's old size, so this succeeds on a full disk as well. Nothing for a virtual file.
void TakeBackAppend(WorkArea& area, const AppendedRecord& before);
void PutDeletionFlag(WorkArea& area, std::int32_t n);
void UpdateDbfHeader(WorkArea& area);
// Writes the table's header date and the record count `count` into file, the table's own or a
// new one that holds a copy of its header; 0 or the I/O code.
int WriteHeaderTo(WorkArea& area, const platform::BlockFile& file, std::int32_t count);
void CommitDbf(WorkArea& area);
void CloseDbf(WorkArea& area);
// Writes the record count into the header at once (shared appends under their lock).
void WriteHeaderCount(WorkArea& area);
void FlushFile(WorkArea& area);

void CreateDBF(const std::string& name, const std::vector<FieldDescriptor>& definitions);
// The header of a new, empty memo file; layout C names the table (tableName without folder
// and extension).
std::vector<std::uint8_t> MemoHeader(const std::string& tableName, std::uint8_t memoType,
                                     std::uint16_t blockSize);
void NewMemoFile(const std::string& tableName, std::uint8_t memoType, std::uint16_t blockSize,
                 const std::string& tag);

void UnpackRecord(WorkArea& area, std::uint8_t* native);
// Blanks the raw record and puts the blank record's native form at native.
void LoadBlankRecord(WorkArea& area, std::uint8_t* native);
// One field's native value from the raw record, written at out.
void UnpackField(const WorkArea& area, const FieldDescriptor& f, std::uint8_t* out);
// Puts text into the field's place in the raw record, cut or padded with blanks.
void PutStoredText(WorkArea& area, const FieldDescriptor& f, std::string_view text);
void PackRecord(WorkArea& area, const std::uint8_t* native);
void ConvertRecordCharset(bool toOem, bool tableIsOem, std::size_t bufferLength,
                          std::uint16_t recordLength, std::uint8_t* buffer);

std::uint16_t SwapWord(std::uint16_t value);
std::uint32_t SwapLong(std::uint32_t value);
std::string ZeroPad2(int value);
std::string ZeroPad4(int value);

}  // namespace dadav
