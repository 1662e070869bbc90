#include "tables/core/dbf4edit.h"

#include <algorithm>
#include <cstring>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {

std::string LogicalLetters = "NY";

namespace {

const FieldDescriptor* FieldAt(std::int32_t n, const char* name) {
  WorkArea& area = *Area();
  if (n < 1 || n > area.fieldCount) {
    ReportError(220,
                "Invalid field number. [" + std::string(name) + "(" + std::to_string(n) + ")]");
    return nullptr;
  }
  return &area.fields[static_cast<std::size_t>(n - 1)];
}

std::string Quoted(const WorkArea& area) {
  return "\"" + area.fileName + "\"";
}

bool NeedsRecordLock(const WorkArea& area) {
  return !area.exclusive && area.lockState != kFileLock;
}

std::uint64_t FieldOffsetInFile(const WorkArea& area, std::int32_t record, std::uint16_t offset) {
  return static_cast<std::uint64_t>(area.headerLength) +
         static_cast<std::uint64_t>(record - 1) * area.recordLength + offset;
}

bool ServesField(const WorkArea& area, std::int32_t field, std::int32_t record) {
  return record >= 1 && field >= 0 && field <= area.fieldCount && record <= area.recCount;
}

void ReportIfPending() {
  if (LastErrorCode != 0 && ReportErrors) HandleDadavError();
}

// A virtual file has no stored record to unpack, so its blank record is written in place: what
// a table's blank record reads as, the date with the whole year a virtual file keeps. Its
// structure was refused unless it fits the caller's buffer.
void BlankVirtualRecord(WorkArea& area) {
  std::memset(area.native, 0, NativeSizeOf(area));
  std::uint8_t* out = area.native + 1;
  for (const FieldDescriptor& f : area.fields) {
    if (f.type == 'C') {
      out[0] = f.length;
      std::memset(out + 1, ' ', f.length);
    } else if (f.type == 'D') {
      const std::string blank = DtosToCenturyDate({});
      out[0] = static_cast<std::uint8_t>(blank.size());
      std::memcpy(out + 1, blank.data(), blank.size());
    }
    out += NativeFieldSize(f);
  }
}

// Writes the flag byte of the current record.
void WriteDeletionFlag(WorkArea& area, bool deleted) {
  area.native[0] = deleted ? 1 : 0;
  area.raw[0] = deleted ? '*' : ' ';
  PutDeletionFlag(area, area.recNo);
}

// Writes the new record and its keys; true when both are in. When a step fails, the table is
// cut back to what it was, so that no record stays that the caller was told is not there;
// indexes that took its key in part stay marked for their rebuild.
bool AppendWithKeys(WorkArea& area, bool indexed) {
  AppendedRecord before;
  AppendDbfRecord(area, before);
  if (LastErrorCode != 0) return false;
  LoadNativeRecord();
  // Readers that trust the header, and other writers, see the shared append at once.
  if (!area.exclusive && !area.vfile.isVirtual) WriteHeaderCount(area);
  if (LastErrorCode == 0 && indexed && IndexHooks.appendNewKey != nullptr)
    IndexHooks.appendNewKey();
  if (LastErrorCode == 0) return true;
  TakeBackAppend(area, before);
  return false;
}

}  // namespace

std::int32_t FieldCount() {
  if (NoDbfInUse("FieldCount()")) return 0;
  return Area()->fieldCount;
}

char FieldType(std::int32_t n) {
  if (NoDbfInUse("FieldType()")) return ' ';
  const FieldDescriptor* f = FieldAt(n, "FieldType");
  return f != nullptr ? f->type : ' ';
}

std::int32_t FieldLen(std::int32_t n) {
  if (NoDbfInUse("FieldLen()")) return 0;
  const FieldDescriptor* f = FieldAt(n, "FieldLen");
  if (f == nullptr) return 0;
  if (f->type == 'D') return CenturyOn ? 10 : 8;
  return f->length;
}

std::int32_t FieldDec(std::int32_t n) {
  if (NoDbfInUse("FieldDec()")) return 0;
  const FieldDescriptor* f = FieldAt(n, "FieldDec");
  return f != nullptr ? f->decimals : 0;
}

void Field(std::int32_t n, std::string& name) {
  name.clear();
  if (NoDbfInUse("Field()")) return;
  const FieldDescriptor* f = FieldAt(n, "Field");
  if (f != nullptr) name = f->name.substr(0, 10);
}

std::int32_t FieldNo(const std::string& name) {
  if (NoDbfInUse("FieldNo()")) return 0;
  std::string wanted = UpperStr(RTrim(name.substr(0, 10)));
  const WorkArea& area = *Area();
  for (std::size_t i = 0; i < area.fields.size(); ++i) {
    if (area.fields[i].name == wanted) return static_cast<std::int32_t>(i) + 1;
  }
  return 0;
}

std::uint8_t* CheckedFieldAddress(std::int32_t n) {
  if (NoDbfInUse("FieldAddress()")) return nullptr;
  WorkArea& area = *Area();
  if (n < 0 || n > area.fieldCount) {
    ReportError(220, "Invalid field number. [FieldAddress(" + std::to_string(n) + ")]");
    return nullptr;
  }
  std::uint8_t* address = area.native;
  if (n == 0) return address;
  address += 1;
  for (std::int32_t i = 0; i < n - 1; ++i)
    address += NativeFieldSize(area.fields[static_cast<std::size_t>(i)]);
  return address;
}

void FieldAsText(std::int32_t n, std::string& text) {
  text.clear();
  char type = FieldType(n);
  if (type == ' ') return;
  const FieldDescriptor& f = Area()->fields[static_cast<std::size_t>(n - 1)];
  const std::uint8_t* p = FieldAddress(n);
  switch (type) {
    case 'C':
    case 'D':
      text.assign(reinterpret_cast<const char*>(p + 1), p[0]);
      break;
    case 'L':
      text = LogicalLetters.substr(p[0] != 0 ? 1 : 0, 1);
      break;
    case 'M': {
      std::int32_t reference = 0;
      std::memcpy(&reference, p, 4);
      text = reference == 0 ? "none" : (reference < 0 ? "BLOB" : "MEMO");
      break;
    }
    default:
      if (f.decimals > 0) {
        double value = 0;
        std::memcpy(&value, p, 8);
        text = StrDec(f.length, f.decimals, value);
      } else if (NativeFieldSize(f) == 8) {
        std::int64_t value = 0;
        std::memcpy(&value, p, 8);
        text = IntToStrW(value, f.length);
      } else {
        std::int32_t value = 0;
        std::memcpy(&value, p, 4);
        text = IntToStrW(value, f.length);
      }
  }
}

bool Deleted() {
  if (NoDbfInUse("Deleted")) return false;
  return Area()->native != nullptr && Area()->native[0] != 0;
}

void ClearRecord() {
  if (NoDbfInUse("ClearRecord")) return;
  WorkArea& area = *Area();
  if (area.vfile.isVirtual && area.fields.empty()) {
    std::memset(area.native, 0, area.recordLength);
    return;
  }
  if (area.vfile.isVirtual) {
    BlankVirtualRecord(area);
    return;
  }
  LoadBlankRecord(area, area.native);
}

void PutStoredField(std::int32_t n, std::string_view stored) {
  if (NoDbfInUse("PutStoredField")) return;
  const FieldDescriptor* f = FieldAt(n, "PutStoredField");
  if (f == nullptr) return;
  WorkArea& area = *Area();
  if (area.vfile.isVirtual) {
    ReportError(1100, "Operation cannot be used on virtual files. [PutStoredField]");
    return;
  }
  PutStoredText(area, *f, stored);
  UnpackField(area, *f, FieldAddress(n));
}

void Append() {
  if (NoDbfInUse("Append")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (!area.exclusive && area.lockState != kFileLock && area.lockState != kAppendLock) {
    ReportError(5, "File must be locked to append: " + area.fileName + " [APPEND]");
    return;
  }
  RefreshRecCount();
  StoreNativeRecord();
  const bool indexed = Indexed();
  const bool reporting = SetReportErrors(false);
  bool appended = false;
  {
    // The bracket marks the indexes as in change: without the mark on the disk the record is
    // not written, so a crash between record and keys never leaves an index that trusts itself.
    IndexBracket bracket(indexed, IndexHooks.setLockSemaphore);
    if (LastErrorCode == 0) appended = AppendWithKeys(area, indexed);
  }
  // With record and keys in, the append has succeeded. A mark the bracket could not clear only
  // keeps the index from being trusted; the next change or the close clears it, and reports
  // what fails there.
  if (appended && LastErrorCode != 0) {
    LastErrorCode = 0;
    TakeLastMessage();
  }
  SetReportErrors(reporting);
  if (LastErrorCode == 0) area.bof = area.eof = false;
  ReportIfPending();
}

void Replace() {
  if (NoDbfInUse("Replace")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (area.recNo < 1) {
    ReportError(212, "Database " + Quoted(area) + " is empty. [REPLACE]");
    return;
  }
  if (area.recNo > area.recCount) {
    ReportError(212, "Database " + Quoted(area) + " is at EOF. [REPLACE]");
    return;
  }
  const bool keep = Indexed();
  if (NeedsRecordLock(area) && !IsLocked(area.recNo)) {
    ReportError(1200,
                "Record #" + std::to_string(area.recNo) + " in " + area.fileName + " [REPLACE]");
    return;
  }
  if (keep && !area.vfile.isVirtual && area.swap.size() != area.nativeSize) {
    ReportError(254, area.fileName + " Swap-buffer NIL. [REPLACE]");
    return;
  }
  bool reporting = SetReportErrors(false);
  // As in Append: the record is written only under indexes marked as in change.
  IndexBracket bracket(keep, IndexHooks.setLockSemaphore);
  if (keep && !area.vfile.isVirtual && LastErrorCode == 0) {
    std::memcpy(area.swap.data(), area.native, area.nativeSize);
    GetDbfRecord(area, area.recNo);
    if (LastErrorCode == 0) {
      LoadNativeRecord();
      if (IndexHooks.syncAndSaveKeys != nullptr) IndexHooks.syncAndSaveKeys();
    }
    std::memcpy(area.native, area.swap.data(), area.nativeSize);
  }
  if (LastErrorCode == 0) {
    StoreNativeRecord();
    PutDbfRecord(area, area.recNo);
    if (LastErrorCode == 0) LoadNativeRecord();
  }
  SetReportErrors(reporting);
  if (LastErrorCode == 0 && keep && IndexHooks.compareKeys != nullptr) IndexHooks.compareKeys();
  ReportIfPending();
}

void DeleteRec() {
  if (NoDbfInUse("DeleteRec")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (NeedsRecordLock(area) && (area.lockState == kAppendLock || !IsLocked(area.recNo))) {
    ReportError(1200, area.fileName + " Record not locked [DeleteRec]");
    return;
  }
  if (area.recNo < 1 || area.recNo > area.recCount) return;
  if (area.vfile.isVirtual) {
    VFileRequest(area, 2, area.recNo);
    return;
  }
  WriteDeletionFlag(area, true);
}

void RecallRec() {
  if (NoDbfInUse("RecallRec")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (NeedsRecordLock(area) && (area.lockState == kAppendLock || !IsLocked(area.recNo))) {
    ReportError(1200, "Record not locked [RecallRec]");
    return;
  }
  RefreshRecCount();
  if (area.recNo < 1 || area.recNo > area.recCount) {
    ReportError(1103, area.fileName + " at EOF [RecallRec]");
    return;
  }
  if (area.vfile.isVirtual) {
    VFileRequest(area, 9, area.recNo);
    return;
  }
  WriteDeletionFlag(area, false);
}

bool SetIgnoreDel(bool on) {
  if (NoDbfInUse("SetIgnoreDel")) return false;
  bool old = Area()->hideDeleted;
  Area()->hideDeleted = on;
  SKIP(0);
  return old;
}

void Peek(std::int32_t field, std::int32_t record, std::string& text) {
  text.clear();
  if (NoDbfInUse("Peek")) return;
  WorkArea& area = *Area();
  if (area.vfile.isVirtual) {
    ReportError(1100, "Operation cannot be used on virtual files. [Peek]");
    return;
  }
  if (!ServesField(area, field, record)) return;
  std::uint16_t offset = 0;
  std::uint16_t length = 1;
  if (field > 0) {
    offset = area.fields[static_cast<std::size_t>(field - 1)].offset;
    length = area.fields[static_cast<std::size_t>(field - 1)].length;
  }
  std::string bytes(length, ' ');
  std::size_t got = 0;
  int code = area.file.ReadAt(FieldOffsetInFile(area, record, offset), bytes.data(), length, got);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "File:  " + area.fileName + " [Peek]");
    return;
  }
  bytes.resize(got);
  text = bytes;
}

void Poke(const std::string& text, std::int32_t field, std::int32_t record) {
  if (NoDbfInUse("Poke")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  std::string tag =
      "[Poke(" + text + "," + std::to_string(field) + "," + std::to_string(record) + ")]";
  if (tag.size() > 100) tag.resize(100);
  if (area.vfile.isVirtual) {
    ReportError(1100, "Operation cannot be used on virtual files." + tag);
    return;
  }
  if (NeedsRecordLock(area) && (area.lockState == kAppendLock || !IsLocked(record))) {
    ReportError(1200, "Record not locked " + tag);
    return;
  }
  if (!ServesField(area, field, record)) return;
  std::uint16_t offset = 0;
  std::size_t length = 1;
  if (field > 0) {
    offset = area.fields[static_cast<std::size_t>(field - 1)].offset;
    length =
        std::min<std::size_t>(text.size(), area.fields[static_cast<std::size_t>(field - 1)].length);
  } else {
    length = std::min<std::size_t>(text.size(), 1);
  }
  std::size_t done = 0;
  int code = area.file.WriteAt(FieldOffsetInFile(area, record, offset), text.data(), length, done);
  if (code != 0 || done < length) {
    ReportError(101, tag);
    return;
  }
  if (area.state != kAppended) area.state = kChanged;
}

}  // namespace dadav
