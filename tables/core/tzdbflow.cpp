#include "tables/core/tzdbflow.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/files/codepage.h"
#include "platform/files/filelock.h"
#include "tables/core/accesscheck.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/newtablefile.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {

std::uint8_t MemoType = 0x8B;
std::uint16_t MemoBlockSize = 512;
bool CountFromFileSize = false;

namespace {

constexpr std::int32_t kDbf2HeaderLength = 521;

struct Failure {
  std::uint16_t code = 0;
  std::string message;
  explicit operator bool() const { return code != 0; }
};

std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutU16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NotDbase(const std::string& name, const char* why, const char* tail) {
  return name + " is not a dBASE database." + why + tail;
}

std::uint64_t RecordOffset(const WorkArea& area, std::int32_t n) {
  return static_cast<std::uint64_t>(area.headerLength) +
         static_cast<std::uint64_t>(n - 1) * area.recordLength;
}

bool IsValidType(char type) {
  return std::strchr("CDFLMN", type) != nullptr && type != '\0';
}

char NormalizeType(std::uint8_t raw) {
  char type = static_cast<char>(raw);
  if (std::strchr("BGPbgp", type) != nullptr && type != '\0') return 'M';
  return type;
}

Failure ParseDescriptors(WorkArea& area, const std::uint8_t* data, std::size_t size,
                         std::size_t slotSize, int maxFields, const std::string& name) {
  const bool level7 = IsLevel7(area.Version());
  const bool dbf2 = IsDbf2(area.Version());
  std::uint16_t offset = 1;
  area.fields.clear();
  for (int i = 0; i < maxFields; ++i) {
    std::size_t at = static_cast<std::size_t>(i) * slotSize;
    if (at >= size) break;
    const std::uint8_t* d = data + at;
    if (d[0] == 0x0D) break;
    if (at + slotSize > size) break;
    std::size_t nameMax = level7 ? 32 : 11;
    std::size_t nameLen = 0;
    while (nameLen < nameMax && d[nameLen] != 0) ++nameLen;
    FieldDescriptor field;
    field.name = UpperStr(std::string(reinterpret_cast<const char*>(d), nameLen));
    field.type = NormalizeType(d[level7 ? 32 : 11]);
    field.length = d[level7 ? 33 : (dbf2 ? 12 : 16)];
    field.decimals = d[level7 ? 34 : (dbf2 ? 15 : 17)];
    field.offset = offset;
    offset = static_cast<std::uint16_t>(offset + field.length);
    if (!IsValidType(field.type)) {
      return {211, "Field: " + field.name + " [" + std::string(1, field.type) + "] in " + name +
                       " is not a valid field type"};
    }
    if (field.type == 'D' && field.length != 8) {
      return {211, "Field: " + field.name + " [D] in " + name + " is not 8 bytes long"};
    }
    // A logical's value is its one letter, whatever length the header gives.
    if (field.type == 'L' && field.length != 1) {
      return {211, "Field: " + field.name + " [L] in " + name + " is not 1 byte long"};
    }
    area.fields.push_back(field);
  }
  area.fieldCount = static_cast<std::uint8_t>(area.fields.size());
  return {};
}

Failure ReadDbf2Header(WorkArea& area, std::uint64_t fileSize, const std::string& name) {
  const std::uint8_t* p = area.prolog.data();
  area.recCount = GetU16(p + 1);
  area.dbfDateStamp = ZeroPad4(p[5] + 1900) + ZeroPad2(p[3]) + ZeroPad2(p[4]);
  area.recordLength = GetU16(p + 6);
  area.headerLength = kDbf2HeaderLength;
  if (fileSize < kDbf2HeaderLength) {
    return {210, NotDbase(name, "(Header is less than 521 bytes", ") [Use/OpenDBF]")};
  }
  std::uint8_t slots[513];
  std::size_t got = 0;
  int code = area.file.ReadAt(8, slots, sizeof slots, got);
  if (code != 0 || got < 512)
    return {static_cast<std::uint16_t>(code != 0 ? code : 100),
            "Error reading " + name + " [Use/OpenDbf]"};
  // With all 32 slots used, the end mark sits at offset 520, just past the slots.
  Failure failure = ParseDescriptors(area, slots, 512, 16, 32, name);
  if (failure) return failure;
  bool terminated = area.fieldCount < 32 || (got == 513 && slots[512] == 0x0D);
  if (area.fieldCount == 0 || !terminated) {
    return {210, NotDbase(BaseName(name), "(Number of fields is out of range", ") [Use/OpenDbf]")};
  }
  return {};
}

Failure ReadStandardHeader(WorkArea& area, const std::string& name) {
  const std::uint8_t* p = area.prolog.data();
  const bool level7 = IsLevel7(area.Version());
  area.hasMemo = (area.Version() & 0x80) != 0;
  area.headerLength = GetU16(p + 8);
  std::int32_t start = level7 ? 68 : 32;
  std::int32_t slot = level7 ? 48 : 32;
  std::int32_t count = (area.headerLength - start) / slot;
  if (area.headerLength < start || count < 1 || count > 255) {
    return {210, NotDbase(BaseName(name), " (Number of fields is out of range", ") [Use/OpenDbf]")};
  }
  area.dbfDateStamp = ZeroPad4(p[1] + 1900) + ZeroPad2(p[2]) + ZeroPad2(p[3]);
  std::uint32_t storedCount = GetU32(p + 4);
  if (storedCount > static_cast<std::uint32_t>(kMaxRecordCount)) {
    return {210, NotDbase(name, " (Number of records is out of range", ") [USE/OpenDbf]")};
  }
  area.recCount = static_cast<std::int32_t>(storedCount);
  area.recordLength = GetU16(p + 10);
  std::vector<std::uint8_t> descriptors(static_cast<std::size_t>(area.headerLength - start));
  std::size_t got = 0;
  int code = area.file.ReadAt(static_cast<std::uint64_t>(start), descriptors.data(),
                              descriptors.size(), got);
  if (code != 0 || got < descriptors.size()) {
    return {static_cast<std::uint16_t>(code != 0 ? code : 100),
            "Error reading " + name + " [Use/OpenDbf]"};
  }
  if (!descriptors.empty() && descriptors[0] == 0x0D) {
    return {222, "Error reading " + name + " [Use/OpenDbf]"};
  }
  return ParseDescriptors(area, descriptors.data(), descriptors.size(),
                          static_cast<std::size_t>(slot), count, name);
}

Failure CheckRecordLength(const WorkArea& area, const std::string& name) {
  std::uint32_t needed = 1;
  for (const FieldDescriptor& f : area.fields) needed += f.length;
  if (area.recordLength == 0 || area.recordLength < needed) {
    return {210, NotDbase(name, " (Record length does not match the fields", ") [USE/OpenDbf]")};
  }
  return {};
}

Failure ReadDbfHeader(WorkArea& area, std::uint64_t fileSize, const std::string& name) {
  std::size_t got = 0;
  int code = area.file.ReadAt(0, area.prolog.data(), 32, got);
  if (code != 0)
    return {static_cast<std::uint16_t>(code), "Error reading " + name + " [Use/OpenDbf]"};
  if (got < 32) {
    return {210, NotDbase(name, " (Prolog is less than 32 bytes", ") [USE/OpenDBF]")};
  }
  if (!ValidDbfVersion(area.Version())) {
    return {210, NotDbase(name, "(Invalid version byte", ")+ [USE/OpenDBF]")};
  }
  Failure failure = IsDbf2(area.Version()) ? ReadDbf2Header(area, fileSize, name)
                                           : ReadStandardHeader(area, name);
  if (failure) return failure;
  return CheckRecordLength(area, name);
}

// Whole records beyond the header count that a crashed run left behind; an exclusive open
// takes them in so the next append does not overwrite them.
void AdoptTrailingRecords(WorkArea& area, std::uint64_t fileSize) {
  while (area.recCount < kMaxRecordCount && RecordOffset(area, area.recCount + 2) <= fileSize) {
    std::uint8_t flag = 0;
    std::size_t got = 0;
    if (area.file.ReadAt(RecordOffset(area, area.recCount + 1), &flag, 1, got) != 0 || got != 1)
      return;
    if (flag != ' ' && flag != '*') return;
    ++area.recCount;
  }
}

void ResetBuffers(WorkArea& area) {
  area.raw.clear();
  area.raw.shrink_to_fit();
  area.fields.clear();
  area.nativeOffsets.clear();
  area.converted = {};
  area.fieldCount = 0;
  area.state = kClosed;
}

// Writes the header's date and count; 0 or the I/O code.
int WriteHeader(WorkArea& area) {
  return WriteHeaderTo(area, area.file, area.recCount);
}

// The 0x1A mark goes only where the file ends: past it may stand a record that another
// program appended.
int WriteEndMark(WorkArea& area) {
  std::uint64_t position = RecordOffset(area, area.recCount + 1);
  std::uint64_t size = 0;
  int code = area.file.Size(size);
  if (code != 0 || size > position + 1) return code;
  std::uint8_t mark = 0x1A;
  std::size_t done = 0;
  return area.file.WriteAt(position, &mark, 1, done);
}

bool HoldsAppendByte(const WorkArea& area) {
  return area.lockState == kFileLock || area.lockState == kAppendLock;
}

// Header and end mark at commit or close. A shared area writes them only while it holds the
// append byte, and takes the count from the file size then; if another program holds the
// byte, that program brings the header up to date.
int FinishTable(WorkArea& area) {
  if (area.state != kChanged && area.state != kAppended) return 0;
  if (!area.file.Writable()) return 0;
  bool shared = !area.file.ShareExclusive();
  bool tookByte = false;
  if (shared && !HoldsAppendByte(area)) {
    if (platform::LockRange(area.file.Descriptor(), kAppendByte, 1, true) != 0) return 0;
    tookByte = true;
  }
  int code = 0;
  if (shared) {
    std::uint64_t size = 0;
    code = area.file.Size(size);
    if (code == 0 && size > static_cast<std::uint64_t>(area.headerLength)) {
      area.recCount = RecordsInFile(area, size);
    }
  }
  if (code == 0) code = WriteHeader(area);
  if (code == 0 && (area.state == kAppended || shared)) code = WriteEndMark(area);
  if (tookByte) platform::UnlockRange(area.file.Descriptor(), kAppendByte, 1);
  return code;
}

// Bytes of the raw record that a field's access touches, from its offset.
std::size_t StoredAccessLength(const FieldDescriptor& f) {
  return f.type == 'L' ? 1u : f.length;
}

// Whatever a header holds, a field is read and written inside the raw record and inside the
// native record (nativeAt: the field's place in it); the checked builds stop at the first
// access that is not.
void ExpectFieldInside(const WorkArea& area, const FieldDescriptor& f, std::size_t nativeAt) {
  ExpectInsideBuffer(f.offset + StoredAccessLength(f) <= area.raw.size() &&
                         nativeAt + NativeFieldSize(f) <= area.nativeSize,
                     "field access");
}

// Copies a field's bytes, with two overlapping word moves where they are few: a field is too
// short for a library call to pay.
void CopyFieldBytes(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
  if (n >= 8 && n <= 16) {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + n - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + n - 8, &tail, 8);
    return;
  }
  std::memcpy(to, from, n);
}

void PutFieldText(std::uint8_t* raw, const FieldDescriptor& f, std::string_view text) {
  const std::size_t length = std::min<std::size_t>(text.size(), f.length);
  CopyFieldBytes(raw + f.offset, reinterpret_cast<const std::uint8_t*>(text.data()), length);
  std::memset(raw + f.offset + length, ' ', f.length - length);
}

std::string_view FieldText(const WorkArea& area, const FieldDescriptor& f) {
  return std::string_view(reinterpret_cast<const char*>(area.raw.data() + f.offset), f.length);
}

// The shared code-page pair as lookup tables, so converting a record costs no call per byte,
// and runs of bytes the table keeps (ASCII) are passed over eight at a time.
struct ByteMap {
  std::array<std::uint8_t, 256> to{};
  bool keepsAscii = true;

  void Convert(std::uint8_t* p, std::size_t n) const {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t i = 0;
    for (; keepsAscii && i + 8 <= n; i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, p + i, 8);
      if ((word & kHighBits) == 0) continue;
      for (std::size_t k = i; k < i + 8; ++k) p[k] = to[p[k]];
    }
    for (; i < n; ++i) p[i] = to[p[i]];
  }
};

ByteMap MakeByteMap(std::uint8_t (*convert)(std::uint8_t)) {
  ByteMap map;
  for (std::size_t c = 0; c < map.to.size(); ++c) {
    map.to[c] = convert(static_cast<std::uint8_t>(c));
    if (c < 0x80 && map.to[c] != c) map.keepsAscii = false;
  }
  return map;
}

const ByteMap& OemToAnsiMap() {
  static const ByteMap map = MakeByteMap(&platform::OemToAnsiChar);
  return map;
}

const ByteMap& AnsiToOemMap() {
  static const ByteMap map = MakeByteMap(&platform::AnsiToOemChar);
  return map;
}

std::uint64_t WordAt(const std::uint8_t* p) {
  std::uint64_t word = 0;
  std::memcpy(&word, p, 8);
  return word;
}

// Records are a few words long: the last word is read overlapping the one before it rather than
// byte by byte.
bool IsAscii(const std::uint8_t* p, std::size_t n) {
  std::uint64_t any = 0;
  if (n >= 8) {
    for (std::size_t i = 0; i + 8 <= n; i += 8) any |= WordAt(p + i);
    any |= WordAt(p + n - 8);
  } else {
    for (std::size_t i = 0; i < n; ++i) any |= p[i];
  }
  return (any & 0x8080808080808080u) == 0;
}

std::string DtosOfDateText(std::string_view text) {
  std::string checked(text);
  if (text.find_first_not_of(" /.-") == std::string::npos || !ValidDate(checked)) {
    return std::string(8, ' ');
  }
  return DateToDtos(text);
}

// The last date text packed and its stored form, with the settings that read it: records are
// appended and replaced with the same date over and over.
struct PackedDate {
  std::string text;
  std::uint8_t format = 0;
  bool century = false;
  std::uint16_t centuryBase = 0;
  std::string dtos;

  bool Holds(std::string_view date) const {
    return !dtos.empty() && date == text && format == DateFormat && century == CenturyOn &&
           centuryBase == CenturyBase;
  }
};

// Writes the stored form of a date text over the field's stored bytes. An untouched date keeps
// its bytes: with two-digit years the window would move 1940 to 2040.
void PackDateField(WorkArea& area, const FieldDescriptor& f, std::string_view text) {
  char shown[kDatePictureRoom];
  if (text == std::string_view(shown, DtosToDateChars(FieldText(area, f), shown))) return;
  static PackedDate last;
  if (!last.Holds(text)) {
    last = {std::string(text), DateFormat, CenturyOn, CenturyBase, DtosOfDateText(text)};
  }
  PutFieldText(area.raw.data(), f, last.dtos);
}

}  // namespace

bool IsDbf2(std::uint8_t version) {
  return version == 0x02;
}
bool IsLevel7(std::uint8_t version) {
  return version == 0x04 || version == 0x8C;
}

bool ValidDbfVersion(std::uint8_t version) {
  switch (version) {
    case 0x02:
    case 0x03:
    case 0x83:
    case 0x8B:
    case 0xF5:
    case 0x04:
    case 0x8C:
      return true;
    default:
      return false;
  }
}

std::string MemoExt(std::uint8_t memoType) {
  if (memoType != 0x83 && memoType != 0x8B && memoType != 0x8C && memoType != 0xF5 &&
      memoType != 0x30) {
    memoType = MemoType;
  }
  return (memoType == 0xF5 || memoType == 0x30) ? "FPT" : "DBT";
}

std::int32_t RecordsInFile(const WorkArea& area, std::uint64_t fileSize) {
  const std::uint64_t count = (fileSize - area.headerLength) / area.recordLength;
  return static_cast<std::int32_t>(std::min<std::uint64_t>(count, kMaxRecordCount));
}

std::vector<std::uint16_t> NativeOffsetsOf(const WorkArea& area) {
  std::vector<std::uint16_t> offsets;
  std::uint16_t offset = 1;
  for (const FieldDescriptor& f : area.fields) {
    offsets.push_back(offset);
    offset = static_cast<std::uint16_t>(offset + NativeFieldSize(f));
  }
  return offsets;
}

std::uint16_t NativeSizeOf(const WorkArea& area) {
  std::uint32_t size = 1;
  for (const FieldDescriptor& f : area.fields) size += NativeFieldSize(f);
  return static_cast<std::uint16_t>(size);
}

std::string ZeroPad2(int value) {
  std::string text = std::to_string(value % 100);
  return text.size() < 2 ? "0" + text : text;
}

std::string ZeroPad4(int value) {
  std::string text = std::to_string(value % 10000);
  return std::string(4 - text.size(), '0') + text;
}

std::uint16_t SwapWord(std::uint16_t value) {
  return static_cast<std::uint16_t>(value << 8 | value >> 8);
}

std::uint32_t SwapLong(std::uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

void OpenDbf(WorkArea& area) {
  area.fileName = AddDefaultExt(area.fileName, "DBF");
  const std::string name = area.fileName;
  int code = area.file.Open(name, area.openMode);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Failure to open " + name + " [USE/OpenDbf]");
    return;
  }
  area.shortName = BaseName(name);
  std::uint64_t fileSize = 0;
  Failure failure;
  if (int sizeCode = area.file.Size(fileSize); sizeCode != 0) {
    failure = {static_cast<std::uint16_t>(sizeCode), "Error reading " + name + " [Use/OpenDbf]"};
  } else {
    failure = ReadDbfHeader(area, fileSize, name);
  }
  if (failure) {
    area.file.Close();
    ResetBuffers(area);
    ReportError(failure.code, failure.message);
    return;
  }
  area.raw.assign(area.recordLength, ' ');
  area.state = kOpen;
  if (CountFromFileSize && fileSize >= static_cast<std::uint64_t>(area.headerLength)) {
    area.recCount = RecordsInFile(area, fileSize);
  } else if (area.file.ShareExclusive() && area.file.Writable()) {
    AdoptTrailingRecords(area, fileSize);
  }
  area.recNo = area.recCount < 1 ? 0 : 1;
  area.bof = area.eof = area.recCount < 1;
}

namespace {

// A run of steps reads ahead 4 KiB first and twice as much with each further block, to 64 KiB:
// a scan soon reads in large blocks, while a few steps after a jump read little.
constexpr std::size_t kFirstReadAhead = 4 * 1024;
constexpr std::size_t kLongestReadAhead = 64 * 1024;

bool BlockHolds(const WorkArea& area, std::int32_t n) {
  const RecordBlock& block = area.block;
  return block.fileChanges == area.file.Changes() && n >= block.first &&
         n - block.first < block.count;
}

// Reads the records from first on, up to count, into the block, texts in the engine's code
// page; those the file holds whole.
void FillBlock(WorkArea& area, std::int32_t first, std::int32_t count) {
  RecordBlock& block = area.block;
  block.bytes.resize(static_cast<std::size_t>(count) * area.recordLength);
  std::size_t got = 0;
  const int code =
      area.file.ReadAt(RecordOffset(area, first), block.bytes.data(), block.bytes.size(), got);
  block.first = first;
  block.count = code == 0 ? static_cast<std::int32_t>(got / area.recordLength) : 0;
  block.fileChanges = area.file.Changes();
  ConvertRecordCharset(false, area.tableIsOem, got, area.recordLength, block.bytes.data());
}

// How many records the next block of a run reads.
std::int32_t NextBlockRecords(WorkArea& area) {
  RecordBlock& block = area.block;
  const std::size_t bytes = std::clamp(block.nextBytes, kFirstReadAhead, kLongestReadAhead);
  block.nextBytes = std::min(2 * bytes, kLongestReadAhead);
  return static_cast<std::int32_t>(std::max<std::size_t>(1, bytes / area.recordLength));
}

// A step to the next or the previous record of an exclusive table reads a block in the
// direction of the step; nobody else writes the file, and our own writes drop the block.
bool ReadAheadFor(WorkArea& area, std::int32_t n) {
  if (!area.file.ShareExclusive() || (n != area.recNo + 1 && n != area.recNo - 1)) return false;
  RecordBlock& block = area.block;
  if (block.fileChanges != area.file.Changes()) {
    // After a write the steps read single records until they go on without one, so a loop
    // that changes each record it reaches does not read a block for each.
    block.count = 0;
    block.fileChanges = area.file.Changes();
    return false;
  }
  const std::int32_t perBlock = NextBlockRecords(area);
  if (n > area.recNo) {
    FillBlock(area, n, std::min(perBlock, area.recCount - n + 1));
  } else {
    const std::int32_t first = std::max(1, n - perBlock + 1);
    FillBlock(area, first, n - first + 1);
  }
  return BlockHolds(area, n);
}

// Copies record n into raw from the block, reading ahead where the step allows.
bool TakeFromBlock(WorkArea& area, std::int32_t n) {
  if (!BlockHolds(area, n) && !ReadAheadFor(area, n)) return false;
  const std::size_t at = static_cast<std::size_t>(n - area.block.first) * area.recordLength;
  std::memcpy(area.raw.data(), area.block.bytes.data() + at, area.recordLength);
  return true;
}

int ReadRecordBytes(WorkArea& area, std::int32_t n) {
  std::size_t got = 0;
  const int code = area.file.ReadAt(RecordOffset(area, n), area.raw.data(), area.recordLength, got);
  return code == 0 && got < area.recordLength ? 213 : code;
}

}  // namespace

const std::uint8_t* RecordInBlock(WorkArea& area, std::int32_t n) {
  if (area.vfile.isVirtual || !area.file.ShareExclusive() || n < 1 || n > area.recCount)
    return nullptr;
  if (!BlockHolds(area, n)) {
    FillBlock(area, n, std::min(NextBlockRecords(area), area.recCount - n + 1));
    if (!BlockHolds(area, n)) return nullptr;
  }
  return area.block.bytes.data() +
         static_cast<std::size_t>(n - area.block.first) * area.recordLength;
}

void GetDbfRecord(WorkArea& area, std::int32_t n) {
  if (n < 1 || n > area.recCount) {
    ReportError(212, "Invalid record number = " + std::to_string(n) + " (" + area.fileName +
                         ")  [GetDbfRecord]");
    return;
  }
  area.eof = area.bof = false;
  if (area.vfile.isVirtual) {
    VFileRequest(area, 3, n);
    return;
  }
  if (!TakeFromBlock(area, n)) {
    area.block.nextBytes = kFirstReadAhead;
    const int code = ReadRecordBytes(area, n);
    if (code != 0) {
      if (code == 213) area.eof = true;
      ReportError(static_cast<std::uint16_t>(code), "File:  " + area.fileName + "  [GetDbfRecord]");
      return;
    }
    ConvertRecordCharset(false, area.tableIsOem, area.recordLength, area.recordLength,
                         area.raw.data());
  }
  area.recNo = n;
}

namespace {

// What stood in the file from the place of a new record on: the end mark, as a rule.
struct FileTail {
  std::uint64_t size = 0;
  std::vector<std::uint8_t> bytes;
};

FileTail ReadTail(const WorkArea& area, std::uint64_t offset) {
  FileTail tail;
  if (area.file.Size(tail.size) != 0 || tail.size <= offset) {
    tail.size = offset;
    return tail;
  }
  tail.bytes.resize(std::min<std::uint64_t>(tail.size - offset, area.raw.size()));
  std::size_t done = 0;
  area.file.ReadAt(offset, tail.bytes.data(), tail.bytes.size(), done);
  tail.bytes.resize(done);
  return tail;
}

FileTail TailAt(const WorkArea& area, std::uint64_t offset) {
  if (area.file.ShareExclusive() && area.endsAtNextRecord == area.file.Changes())
    return {offset, {}};
  return ReadTail(area, offset);
}

// Within the file's old size no block is needed, so this succeeds on a full disk too.
void RestoreTail(const WorkArea& area, std::uint64_t offset, const FileTail& tail) {
  area.file.Truncate(tail.size);
  std::size_t done = 0;
  if (!tail.bytes.empty()) area.file.WriteAt(offset, tail.bytes.data(), tail.bytes.size(), done);
}

// Writes record n; an append keeps what it overwrote in `tail`.
void WriteRecord(WorkArea& area, std::int32_t n, FileTail& tail) {
  bool appending = n > area.recCount;
  if (appending && area.recCount >= kMaxRecordCount) {
    ReportError(212, "Table is full with " + std::to_string(kMaxRecordCount) +
                         " records: " + area.fileName + " [Append/PutDbfRecord]");
    return;
  }
  if (appending) n = area.recCount + 1;
  if (area.vfile.isVirtual) {
    VFileRequest(area, 8, n);
    return;
  }
  const std::uint8_t* record = area.raw.data();
  if (area.tableIsOem && !(AnsiToOemMap().keepsAscii && IsAscii(record, area.raw.size()))) {
    area.stored.assign(area.raw.begin(), area.raw.end());
    ConvertRecordCharset(true, true, area.stored.size(), area.recordLength, area.stored.data());
    record = area.stored.data();
  }
  const std::uint64_t offset = RecordOffset(area, n);
  if (appending) tail = TailAt(area, offset);
  std::size_t done = 0;
  int code = area.file.WriteAt(offset, record, area.raw.size(), done);
  if (code == 0 && done < area.raw.size()) code = 101;
  if (code != 0) {
    // A partly written new record is cut off again and the end mark it overwrote put back, so
    // the table stays as it was.
    if (appending && done > 0) RestoreTail(area, offset, tail);
    ReportError(static_cast<std::uint16_t>(code),
                "File:  " + area.fileName + " [Replace/Append/PutDbfRecord]");
    return;
  }
  if (appending) {
    area.recCount = n;
    area.recNo = n;
    area.state = kAppended;
    if (tail.size <= offset + area.recordLength) area.endsAtNextRecord = area.file.Changes();
  } else if (area.state != kAppended) {
    area.state = kChanged;
  }
}

}  // namespace

void PutDbfRecord(WorkArea& area, std::int32_t n) {
  FileTail tail;
  WriteRecord(area, n, tail);
}

void AppendDbfRecord(WorkArea& area, AppendedRecord& before) {
  before.count = area.recCount;
  before.recNo = area.recNo;
  before.state = area.state;
  before.offset = RecordOffset(area, area.recCount + 1);
  FileTail tail;
  WriteRecord(area, area.recCount + 1, tail);
  before.fileSize = tail.size;
  before.overwritten = std::move(tail.bytes);
}

void TakeBackAppend(WorkArea& area, const AppendedRecord& before) {
  if (area.vfile.isVirtual || area.recCount != before.count + 1) return;
  RestoreTail(area, before.offset, {before.fileSize, before.overwritten});
  area.recCount = before.count;
  area.recNo = before.recNo;
  area.state = before.state;
  if (!area.exclusive) WriteHeaderCount(area);
}

void PutDeletionFlag(WorkArea& area, std::int32_t n) {
  if (n < 1 || n > area.recCount) {
    ReportError(212, "Invalid record number = " + std::to_string(n) + " (" + area.fileName +
                         ") [DeleteRec/RecallRec]");
    return;
  }
  std::size_t done = 0;
  int code = area.file.WriteAt(RecordOffset(area, n), area.raw.data(), 1, done);
  if (code == 0 && done < 1) code = 101;
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "File:  " + area.fileName + " [DeleteRec/RecallRec]");
    return;
  }
  if (area.state != kAppended) area.state = kChanged;
}

int WriteHeaderTo(WorkArea& area, const platform::BlockFile& file, std::int32_t count) {
  std::uint16_t year, month, day, dow;
  GetDate(year, month, day, dow);
  std::uint8_t* p = area.prolog.data();
  std::size_t done = 0;
  if (IsDbf2(area.Version())) {
    PutU16(p + 1, static_cast<std::uint32_t>(std::min(count, 65535)));
    p[3] = static_cast<std::uint8_t>(month);
    p[4] = static_cast<std::uint8_t>(day);
    p[5] = static_cast<std::uint8_t>(year - 1900);
    return file.WriteAt(0, p, 8, done);
  }
  std::uint8_t onDisk[12];
  int code = file.ReadAt(16, onDisk, sizeof onDisk, done);
  if (code != 0) return code;
  if (done == sizeof onDisk) std::memcpy(p + 16, onDisk, sizeof onDisk);
  p[1] = static_cast<std::uint8_t>(year - 1900);
  p[2] = static_cast<std::uint8_t>(month);
  p[3] = static_cast<std::uint8_t>(day);
  PutU32(p + 4, static_cast<std::uint32_t>(count));
  code = file.WriteAt(0, p, 32, done);
  if (code == 0) area.dbfDateStamp = ZeroPad4(year) + ZeroPad2(month) + ZeroPad2(day);
  return code;
}

void UpdateDbfHeader(WorkArea& area) {
  int code = WriteHeader(area);
  if (code != 0)
    ReportError(static_cast<std::uint16_t>(code), "File:  " + area.fileName + " [UpdateDbfHeader]");
}

void WriteHeaderCount(WorkArea& area) {
  if (IsDbf2(area.Version())) return;
  std::uint8_t count[4];
  PutU32(count, static_cast<std::uint32_t>(area.recCount));
  std::memcpy(area.prolog.data() + 4, count, 4);
  std::size_t done = 0;
  int code = area.file.WriteAt(4, count, 4, done);
  if (code != 0)
    ReportError(static_cast<std::uint16_t>(code), "File:  " + area.fileName + " [Append]");
}

void FlushFile(WorkArea& area) {
  int code = area.file.Sync();
  if (code != 0) ReportError(static_cast<std::uint16_t>(code), "Unable to flush file [FlushFile]");
}

void CommitDbf(WorkArea& area) {
  if (area.vfile.isVirtual || (area.state != kChanged && area.state != kAppended)) return;
  int code = FinishTable(area);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "File:  " + area.fileName + " [CommitDbf]");
    return;
  }
  area.state = kOpen;
  FlushFile(area);
}

void CloseDbf(WorkArea& area) {
  if (area.vfile.isVirtual) {
    VFileRequest(area, 1);
    return;
  }
  int code = area.file.IsOpen() ? FinishTable(area) : 0;
  area.file.Close();
  ResetBuffers(area);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "File:  " + area.fileName + " [CloseDbf(" + area.fileName + ")]");
  }
}

namespace {

bool TypeAllowed(char type, std::uint8_t version) {
  if (std::strchr("CDFLMN", type) != nullptr) return true;
  return (version == 0x8B || version == 0x8C) && std::strchr("BGP", type) != nullptr;
}

// Builds the header of a new table; false on a bad definition.
bool BuildHeader(const std::vector<FieldDescriptor>& definitions,
                 std::vector<std::uint8_t>& header) {
  if (definitions.empty() || definitions.size() > 255) return false;
  const bool level7 = MemoType == 0x8C;
  const std::size_t slot = level7 ? 48 : 32;
  const std::size_t start = level7 ? 68 : 32;
  header.assign(start + definitions.size() * slot + 1, 0);
  bool memo = false;
  std::uint32_t recordLength = 1;
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    FieldDescriptor f = definitions[i];
    f.type = CharUpper(f.type);
    if (!TypeAllowed(f.type, MemoType) || f.type == '\0') return false;
    if (std::strchr("BGMP", f.type) != nullptr) memo = true;
    if (MemoType == 0x83 && f.type == 'F') f.type = 'N';
    std::string name = UpperStr(AllTrim(f.name));
    if (name.empty()) return false;
    if (name.size() > 10) name.resize(10);
    if (std::strchr("CFN", f.type) != nullptr) {
      if (f.length == 0) return false;
    } else if (f.type == 'D') {
      f.length = 8;
    } else if (f.type == 'L') {
      f.length = 1;
    } else {
      f.length = 10;
    }
    if (f.type != 'N' && f.type != 'F') f.decimals = 0;
    std::uint8_t* d = header.data() + start + i * slot;
    std::memcpy(d, name.data(), name.size());
    d[level7 ? 32 : 11] = static_cast<std::uint8_t>(f.type);
    d[level7 ? 33 : 16] = f.length;
    d[level7 ? 34 : 17] = f.decimals;
    recordLength += f.length;
  }
  if (recordLength > 65535) return false;
  header.back() = 0x0D;
  PutU16(header.data() + 8, static_cast<std::uint32_t>(header.size()));
  PutU16(header.data() + 10, recordLength);
  if (level7) std::memcpy(header.data() + 32, "DBWINWE0", 8);
  header[0] = memo ? MemoType : (level7 ? 0x04 : 0x03);
  return true;
}

}  // namespace

std::vector<std::uint8_t> MemoHeader(const std::string& tableName, std::uint8_t memoType,
                                     std::uint16_t blockSize) {
  if (blockSize == 0) blockSize = 512;
  if (memoType == 0x83) {
    std::vector<std::uint8_t> header(513, 0);
    header[0] = 1;
    header[512] = 0x1A;
    return header;
  }
  if (memoType == 0xF5) {
    std::vector<std::uint8_t> header(512, 0);
    std::uint32_t next = SwapLong(511u / blockSize + 1);
    std::uint16_t size = SwapWord(blockSize);
    std::memcpy(header.data(), &next, 4);
    std::memcpy(header.data() + 6, &size, 2);
    return header;
  }
  std::vector<std::uint8_t> header(24, 0);
  PutU32(header.data(), 1);
  std::string dir, name, ext;
  FSplit(tableName, dir, name, ext);
  std::memcpy(header.data() + 8, name.data(), std::min<std::size_t>(name.size(), 8));
  PutU16(header.data() + 18, 258);
  PutU16(header.data() + 20, blockSize);
  return header;
}

void CreateDBF(const std::string& name, const std::vector<FieldDescriptor>& definitions) {
  LastErrorCode = 0;
  std::vector<std::uint8_t> header;
  if (!BuildHeader(definitions, header)) {
    ReportError(211, "Invalid dBASE field definition [CreateDBF]");
    return;
  }
  WorkArea area;
  area.fileName = AddDefaultExt(name, "DBF");
  std::size_t done = 0;
  NewTableFile table;
  int code = table.Open(area.fileName, area.file);
  if (code == 0) code = area.file.WriteAt(0, header.data(), header.size(), done);
  if (code != 0) {
    area.file.Close();
    ReportError(static_cast<std::uint16_t>(code),
                "Error writing " + area.fileName + ". [CreateDbf]");
    return;
  }
  std::memcpy(area.prolog.data(), header.data(), 32);
  area.headerLength = static_cast<std::int32_t>(header.size());
  area.recordLength = GetU16(header.data() + 10);
  area.state = kAppended;
  area.recCount = 0;
  area.dbfDateStamp = TodayDtos();
  CloseDbf(area);
  if (LastErrorCode == 0 && (code = table.Place()) != 0)
    ReportError(static_cast<std::uint16_t>(code),
                "Error writing " + area.fileName + ". [CreateDbf]");
  if (LastErrorCode == 0 && (header[0] & 0x80) != 0) {
    NewMemoFile(ForceExt(area.fileName, CompanionExt(area.fileName, MemoExt(MemoType))), MemoType,
                MemoBlockSize, "CreateDbf()");
  }
}

void NewMemoFile(const std::string& tableName, std::uint8_t memoType, std::uint16_t blockSize,
                 const std::string& tag) {
  platform::BlockFile file;
  NewTableFile memo;
  int code = memo.Open(tableName, file);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Cannot create memo file " + tableName + " [" + tag + "]");
    return;
  }
  std::vector<std::uint8_t> header = MemoHeader(tableName, memoType, blockSize);
  std::size_t done = 0;
  code = file.WriteAt(0, header.data(), header.size(), done);
  if (code == 0) code = file.Sync();
  file.Close();
  if (code == 0) code = memo.Place();
  if (code != 0) ReportError(static_cast<std::uint16_t>(code), tableName + " [" + tag + "]");
}

void ConvertRecordCharset(bool toOem, bool tableIsOem, std::size_t bufferLength,
                          std::uint16_t recordLength, std::uint8_t* buffer) {
  if (!tableIsOem || recordLength == 0) return;
  const ByteMap& map = toOem ? AnsiToOemMap() : OemToAnsiMap();
  const std::size_t whole =
      bufferLength == recordLength ? bufferLength : bufferLength - bufferLength % recordLength;
  if (map.keepsAscii && IsAscii(buffer, whole)) return;
  for (std::size_t start = 0; start + recordLength <= bufferLength; start += recordLength) {
    map.Convert(buffer + start + 1, recordLength - 1u);
  }
}

namespace {

FieldKind KindOf(const FieldDescriptor& f) {
  switch (f.type) {
    case 'C':
      return FieldKind::kText;
    case 'D':
      return FieldKind::kDate;
    case 'L':
      return FieldKind::kLogical;
    case 'M':
      return FieldKind::kMemo;
    case 'F':
    case 'N':
      if (f.decimals > 0) return FieldKind::kReal;
      return WideInteger(f) ? FieldKind::kInt64 : FieldKind::kInt32;
    default:
      return FieldKind::kNone;
  }
}

FieldStep StepOf(const FieldDescriptor& f, std::size_t nativeAt) {
  return {KindOf(f), f.offset,   static_cast<std::uint16_t>(nativeAt),
          f.length,  f.decimals, NativeFieldSize(f)};
}

std::vector<FieldStep> StepsOf(const WorkArea& area) {
  const std::vector<std::uint16_t> offsets = NativeOffsetsOf(area);
  std::vector<FieldStep> steps;
  for (std::size_t i = 0; i < area.fields.size(); ++i)
    steps.push_back(StepOf(area.fields[i], offsets[i]));
  return steps;
}

const std::vector<FieldStep>& StepsFor(WorkArea& area) {
  std::vector<FieldStep>& steps = area.converted.steps;
  if (steps.size() != area.fields.size()) steps = StepsOf(area);
  return steps;
}

void UnpackStep(const WorkArea& area, const FieldStep& step, std::uint8_t* native) {
  ExpectInsideBuffer(
      step.rawAt + (step.kind == FieldKind::kLogical ? 1u : step.length) <= area.raw.size() &&
          step.nativeAt + step.nativeSize <= area.nativeSize,
      "field access");
  const std::uint8_t* in = area.raw.data() + step.rawAt;
  const std::string_view text(reinterpret_cast<const char*>(in), step.length);
  std::uint8_t* out = native + step.nativeAt;
  switch (step.kind) {
    case FieldKind::kText:
      out[0] = step.length;
      CopyFieldBytes(out + 1, in, step.length);
      break;
    case FieldKind::kDate:
      std::memset(out, 0, step.nativeSize);
      out[0] = static_cast<std::uint8_t>(DtosToDateChars(text, reinterpret_cast<char*>(out + 1)));
      break;
    case FieldKind::kLogical:
      out[0] = in[0] == 'T' || in[0] == 't' || in[0] == 'Y' || in[0] == 'y';
      break;
    case FieldKind::kMemo: {
      auto block = static_cast<std::int32_t>(
          std::clamp<std::int64_t>(ParseFieldInt(text), std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max()));
      std::memcpy(out, &block, 4);
      break;
    }
    case FieldKind::kReal: {
      const double value = ParseStoredReal(text.data(), text.size(), step.decimals);
      std::memcpy(out, &value, 8);
      break;
    }
    case FieldKind::kInt64: {
      std::int64_t value = ParseFieldInt(text);
      std::memcpy(out, &value, 8);
      break;
    }
    case FieldKind::kInt32: {
      auto value = static_cast<std::int32_t>(ParseFieldInt(text));
      std::memcpy(out, &value, 4);
      break;
    }
    case FieldKind::kNone:
      break;
  }
}

bool SameBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  if (n < 8) return std::memcmp(a, b, n) == 0;
  for (std::size_t i = 0; i + 8 <= n; i += 8) {
    if (WordAt(a + i) != WordAt(b + i)) return false;
  }
  return WordAt(a + n - 8) == WordAt(b + n - 8);
}

DateShown CurrentDateShown() {
  return {DateFormat, CenturyOn};
}

bool ConvertedStillValid(const WorkArea& area) {
  const ConvertedRecord& last = area.converted;
  return last.raw.size() == area.raw.size() && last.native.size() == area.nativeSize &&
         last.steps.size() == area.fields.size() && last.dates == CurrentDateShown();
}

void RememberConverted(WorkArea& area, const std::uint8_t* native) {
  ConvertedRecord& last = area.converted;
  last.raw.assign(area.raw.begin(), area.raw.end());
  last.native.assign(native, native + area.nativeSize);
  last.dates = CurrentDateShown();
}

void UnpackEveryField(WorkArea& area, std::uint8_t* native) {
  native[0] = area.raw[0] == '*' ? 1 : 0;
  for (const FieldStep& step : StepsFor(area)) UnpackStep(area, step, native);
}

// Converts a date or memo reference unless its stored bytes are those last converted; keeps
// the new pair. They repeat from record to record and cost more to convert than to compare;
// numbers mostly change, so comparing them first would cost more than it saves.
void UnpackRemembered(WorkArea& area, const FieldStep& step, std::uint8_t* native) {
  const std::uint8_t* in = area.raw.data() + step.rawAt;
  ConvertedRecord& last = area.converted;
  std::uint8_t* lastRaw = last.raw.data() + step.rawAt;
  std::uint8_t* lastNative = last.native.data() + step.nativeAt;
  if (SameBytes(in, lastRaw, step.length)) {
    ExpectInsideBuffer(step.nativeAt + step.nativeSize <= area.nativeSize, "field access");
    CopyFieldBytes(native + step.nativeAt, lastNative, step.nativeSize);
    return;
  }
  UnpackStep(area, step, native);
  std::memcpy(lastRaw, in, step.length);
  std::memcpy(lastNative, native + step.nativeAt, step.nativeSize);
}

// Texts, numbers and logicals cost no more to convert than to compare.
void UnpackChangedStep(WorkArea& area, const FieldStep& step, std::uint8_t* native) {
  if (step.kind == FieldKind::kDate || step.kind == FieldKind::kMemo) {
    UnpackRemembered(area, step, native);
  } else {
    UnpackStep(area, step, native);
  }
}

}  // namespace

void UnpackField(const WorkArea& area, const FieldDescriptor& f, std::uint8_t* out) {
  ExpectFieldInside(area, f, static_cast<std::size_t>(out - area.native));
  UnpackStep(area, StepOf(f, 0), out);
}

void UnpackRecord(WorkArea& area, std::uint8_t* native) {
  if (!ConvertedStillValid(area)) {
    UnpackEveryField(area, native);
    RememberConverted(area, native);
    return;
  }
  native[0] = area.raw[0] == '*' ? 1 : 0;
  for (const FieldStep& step : area.converted.steps) UnpackChangedStep(area, step, native);
}

void LoadBlankRecord(WorkArea& area, std::uint8_t* native) {
  std::fill(area.raw.begin(), area.raw.end(), ' ');
  ConvertedRecord& converted = area.converted;
  if (converted.blankNative.size() != area.nativeSize ||
      converted.blankDates != CurrentDateShown()) {
    converted.blankNative.assign(area.nativeSize, 0);
    UnpackEveryField(area, converted.blankNative.data());
    converted.blankDates = CurrentDateShown();
  }
  std::memcpy(native, converted.blankNative.data(), area.nativeSize);
}

void PutStoredText(WorkArea& area, const FieldDescriptor& f, std::string_view text) {
  PutFieldText(area.raw.data(), f, text);
}

namespace {

void PackNumber(WorkArea& area, const FieldDescriptor& f, const FieldStep& step,
                const std::uint8_t* in) {
  std::uint8_t* raw = area.raw.data();
  if (step.kind == FieldKind::kReal) {
    double value = 0;
    std::memcpy(&value, in, 8);
    if (!WriteFieldReal(value, f.length, f.decimals, reinterpret_cast<char*>(raw + f.offset)))
      PutFieldText(raw, f, FormatFieldReal(value, f.length, f.decimals));
  } else if (step.kind == FieldKind::kInt64) {
    std::int64_t value = 0;
    std::memcpy(&value, in, 8);
    // A stored number beyond 64 bits unpacked to the limit; while the value still is that
    // limit, the stored text stands.
    bool clamped = false;
    std::int64_t stored = ParseFieldInt(FieldText(area, f), &clamped);
    if (!(clamped && stored == value)) PutFieldText(raw, f, FormatFieldInt(value, f.length));
  } else {
    std::int32_t value = 0;
    std::memcpy(&value, in, 4);
    PutFieldText(raw, f, FormatFieldInt(value, f.length));
  }
}

void PackStep(WorkArea& area, const FieldDescriptor& f, const FieldStep& step,
              const std::uint8_t* native) {
  ExpectFieldInside(area, f, step.nativeAt);
  std::uint8_t* raw = area.raw.data();
  const std::uint8_t* in = native + step.nativeAt;
  switch (step.kind) {
    case FieldKind::kText:
      PutFieldText(raw, f, std::string_view(reinterpret_cast<const char*>(in + 1), in[0]));
      break;
    case FieldKind::kDate: {
      std::size_t length = std::min<std::size_t>(in[0], f.length + 2u);
      PackDateField(area, f, std::string_view(reinterpret_cast<const char*>(in + 1), length));
      break;
    }
    case FieldKind::kLogical:
      raw[f.offset] = in[0] != 0 ? 'T' : 'F';
      break;
    case FieldKind::kMemo: {
      std::int32_t block = 0;
      std::memcpy(&block, in, 4);
      // No memo is stored as blanks, as other xBase programs write it and expect it.
      PutFieldText(raw, f, block == 0 ? std::string() : FormatFieldInt(block, f.length));
      break;
    }
    case FieldKind::kReal:
    case FieldKind::kInt64:
    case FieldKind::kInt32:
      PackNumber(area, f, step, in);
      break;
    case FieldKind::kNone:
      break;
  }
}

}  // namespace

void PackRecord(WorkArea& area, const std::uint8_t* native) {
  area.raw[0] = native[0] != 0 ? '*' : ' ';
  const std::vector<FieldStep>& steps = StepsFor(area);
  for (std::size_t i = 0; i < steps.size(); ++i) PackStep(area, area.fields[i], steps[i], native);
}

}  // namespace dadav
