#include "tables/core/dbf4append.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/files/fileidentity.h"
#include "platform/files/fileresolve.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace dadav {
namespace {

// Type index of the conversion table: C 1, N and F 2, L 3, D 4, M 5, others 0.
int TypeIndex(char type) {
  switch (type) {
    case 'C':
      return 1;
    case 'N':
    case 'F':
      return 2;
    case 'L':
      return 3;
    case 'D':
      return 4;
    case 'M':
      return 5;
    default:
      return 0;
  }
}

// One field of an area with the place of its native value.
struct FieldSlot {
  const FieldDescriptor* field = nullptr;
  std::uint8_t* native = nullptr;
};

std::vector<FieldSlot> Slots(WorkArea& area) {
  std::vector<FieldSlot> slots;
  std::uint8_t* at = area.native + 1;
  for (const FieldDescriptor& f : area.fields) {
    slots.push_back({&f, at});
    at += NativeFieldSize(f);
  }
  return slots;
}

// The source of one append and the map from target fields to source fields.
struct Transfer {
  std::uint8_t targetArea = 0;
  std::uint8_t sourceArea = 0;
  WorkArea* source = nullptr;
  std::vector<FieldSlot> targetSlots;
  std::vector<FieldSlot> sourceSlots;
  std::vector<std::int32_t> map;  // per target field: the source field number, 0 for none
  // Both are tables, so the stored text can go across; a virtual file holds values only.
  bool storedTextTravels = false;
  // A table's dates into a virtual file: their century is in the stored text only.
  bool datesNeedCentury = false;
};

std::string_view StoredText(const WorkArea& area, const FieldDescriptor& f) {
  return {reinterpret_cast<const char*>(area.raw.data() + f.offset), f.length};
}

std::string_view NativeText(const FieldSlot& slot) {
  return {reinterpret_cast<const char*>(slot.native + 1), slot.native[0]};
}

void PutNativeText(const FieldSlot& slot, std::string_view text, std::size_t room) {
  const std::size_t length = std::min(text.size(), room);
  slot.native[0] = static_cast<std::uint8_t>(length);
  std::memcpy(slot.native + 1, text.data(), length);
}

bool IsInteger(const FieldDescriptor& f) {
  return f.decimals == 0;
}

bool IsWide(const FieldDescriptor& f) {
  return IsInteger(f) && NativeFieldSize(f) == 8;
}

long double ReadNumber(const FieldSlot& slot) {
  if (!IsInteger(*slot.field)) {
    double value = 0;
    std::memcpy(&value, slot.native, 8);
    return value;
  }
  if (IsWide(*slot.field)) {
    std::int64_t value = 0;
    std::memcpy(&value, slot.native, 8);
    return static_cast<long double>(value);
  }
  std::int32_t value = 0;
  std::memcpy(&value, slot.native, 4);
  return value;
}

std::int64_t ReadInteger(const FieldSlot& slot) {
  if (IsWide(*slot.field)) {
    std::int64_t value = 0;
    std::memcpy(&value, slot.native, 8);
    return value;
  }
  std::int32_t value = 0;
  std::memcpy(&value, slot.native, 4);
  return value;
}

// Whole part toward zero, held to the 64-bit range; NaN gives 0.
std::int64_t Truncated(long double value) {
  if (std::isnan(value)) return 0;
  constexpr auto kMax = static_cast<long double>(std::numeric_limits<std::int64_t>::max());
  if (value >= kMax) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kMax) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::trunc(value));
}

void WriteInteger(const FieldSlot& slot, std::int64_t value) {
  if (IsWide(*slot.field)) {
    std::memcpy(slot.native, &value, 8);
    return;
  }
  const auto narrow = static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  std::memcpy(slot.native, &narrow, 4);
}

void WriteReal(const FieldSlot& slot, double value) {
  std::memcpy(slot.native, &value, 8);
}

// N <- N: each side's value at its own size.
void CopyNumber(const FieldSlot& to, const FieldSlot& from) {
  if (!IsInteger(*to.field)) {
    WriteReal(to, static_cast<double>(ReadNumber(from)));
  } else if (IsInteger(*from.field)) {
    WriteInteger(to, ReadInteger(from));
  } else {
    WriteInteger(to, Truncated(ReadNumber(from)));
  }
}

// C <- N: as the user reads it, in the target's width; "*" when it does not fit.
void NumberToText(const FieldSlot& to, const FieldSlot& from) {
  const int width = to.field->length;
  std::string text = IsInteger(*from.field) ? IntToStrW(ReadInteger(from), width)
                                            : StrDec(width, from.field->decimals, ReadNumber(from));
  if (text.size() > to.field->length) text = std::string(to.field->length, '*');
  PutNativeText(to, text, to.field->length);
}

// N <- C: the user's number text, read with the desktop's decimal sign.
void TextToNumber(const FieldSlot& to, const FieldSlot& from) {
  const std::string_view text = NativeText(from);
  if (!IsInteger(*to.field)) {
    WriteReal(to, static_cast<double>(ValReal(text)));
  } else if (IsWide(*to.field)) {
    WriteInteger(to, Truncated(ValReal(text)));
  } else {
    WriteInteger(to, ValLong(text));
  }
}

// C <- D: a date too long for the field first loses its century digits.
void DateToText(const FieldSlot& to, const FieldSlot& from) {
  std::string text(NativeText(from));
  if (text.size() > to.field->length && text.size() >= 8) text.erase(DateFormat == 1 ? 0 : 6, 2);
  PutNativeText(to, text, to.field->length);
}

// D <- D: between tables the stored YYYYMMDD; from a table into a virtual file the date with
// its four-digit year; from a virtual file the date text it holds.
void CopyDate(const Transfer& transfer, std::size_t b, const FieldSlot& to, const FieldSlot& from) {
  if (transfer.storedTextTravels) {
    PutStoredField(static_cast<std::int32_t>(b + 1), StoredText(*transfer.source, *from.field));
  } else if (transfer.datesNeedCentury) {
    PutNativeText(to, DtosToCenturyDate(StoredText(*transfer.source, *from.field)),
                  to.field->length + 2u);
  } else {
    PutNativeText(to, NativeText(from), to.field->length + 2u);
  }
}

void TextToDate(const FieldSlot& to, const FieldSlot& from) {
  std::string text = RTrim(NativeText(from));
  if (ValidDate(text)) PutNativeText(to, text, to.field->length + 2u);
}

void CopyMemo(const Transfer& transfer, const FieldSlot& to, const FieldSlot& from) {
  std::int32_t reference = 0;
  std::memcpy(&reference, from.native, 4);
  // A reference into the source's memo file means nothing in the target's.
  reference = reference != 0 && MemoHooks.copyMemoAsOld != nullptr
                  ? MemoHooks.copyMemoAsOld(transfer.sourceArea, reference)
                  : 0;
  std::memcpy(to.native, &reference, 4);
}

void TextToMemo(const FieldSlot& to, const FieldSlot& from) {
  std::int32_t reference = 0;
  if (MemoHooks.addMemo != nullptr) reference = MemoHooks.addMemo(std::string(NativeText(from)));
  std::memcpy(to.native, &reference, 4);
}

// Copies target field b (1-based) from its source field, converted by the pair of types.
void CopyFieldConverted(const Transfer& transfer, std::size_t b) {
  const std::int32_t a = transfer.map[b];
  if (a == 0) return;
  const FieldSlot& to = transfer.targetSlots[b];
  const FieldSlot& from = transfer.sourceSlots[static_cast<std::size_t>(a - 1)];
  switch (10 * TypeIndex(to.field->type) + TypeIndex(from.field->type)) {
    case 11:
      PutNativeText(to, NativeText(from), to.field->length);
      break;
    case 44:
      CopyDate(transfer, b, to, from);
      break;
    case 12:
      NumberToText(to, from);
      break;
    case 13:
      PutNativeText(to, from.native[0] != 0 ? "T" : "F", to.field->length);
      break;
    case 14:
      DateToText(to, from);
      break;
    case 21:
      TextToNumber(to, from);
      break;
    case 22:
      CopyNumber(to, from);
      break;
    case 31:
    case 32:
    case 34:
    case 35:
      to.native[0] = 0;
      break;
    case 33:
      to.native[0] = from.native[0] != 0 ? 1 : 0;
      break;
    case 41:
      TextToDate(to, from);
      break;
    case 51:
      TextToMemo(to, from);
      break;
    case 55:
      CopyMemo(transfer, to, from);
      break;
    default:
      break;
  }
}

// Equal definitions take equal room in the native record: a virtual file's memo reference,
// kept as N(10), is narrower than a table's N(10).
bool SameDefinition(const FieldDescriptor& a, const FieldDescriptor& b) {
  return a.name == b.name && a.type == b.type && a.length == b.length && a.decimals == b.decimals &&
         a.memoReference == b.memoReference;
}

// 0 same fields without memos, 1 same fields with memos, 2 otherwise.
int StructureKind(const WorkArea& target, const WorkArea& source) {
  if (target.fields.size() != source.fields.size()) return 2;
  for (std::size_t i = 0; i < target.fields.size(); ++i) {
    if (!SameDefinition(target.fields[i], source.fields[i])) return 2;
  }
  return target.hasMemo ? 1 : 0;
}

std::int32_t SourceFieldNo(const WorkArea& source, const std::string& name) {
  for (std::size_t i = 0; i < source.fields.size(); ++i) {
    if (source.fields[i].name == name) return static_cast<std::int32_t>(i) + 1;
  }
  return 0;
}

// Brings the target area back and closes the scratch area on every way out.
class AreaRestore {
 public:
  explicit AreaRestore(std::uint8_t target) : target_(target) {}
  ~AreaRestore() {
    if (WorkAreaTable[kScratchArea]) {
      CurrentAreaNumber = kScratchArea;
      const std::uint16_t code = LastErrorCode;
      const bool reporting = SetReportErrors(false);
      CloseArea();
      SetReportErrors(reporting);
      LastErrorCode = code;
    }
    CurrentAreaNumber = target_;
  }
  AreaRestore(const AreaRestore&) = delete;
  AreaRestore& operator=(const AreaRestore&) = delete;

 private:
  std::uint8_t target_;
};

bool TakeVirtualWords(std::string& source) {
  bool found = false;
  for (const char* word : {" VIRTUAL FILE", " LINKED LIST", " VIRTUAL", " LINKED"}) {
    if (ExtractOption(word, source)) found = true;
  }
  return found;
}

std::uint8_t AreaOfVirtual(const std::string& source) {
  for (std::uint8_t n = 1; n <= kUserAreas; ++n) {
    const WorkArea* area = WorkAreaTable[n].get();
    if (area != nullptr && area->vfile.isVirtual && UpperStr(area->fileName) == UpperStr(source))
      return n;
  }
  return 0;
}

std::uint8_t AreaOfFile(const platform::FileIdentity& identity) {
  for (std::uint8_t n = 1; n <= kUserAreas; ++n) {
    const WorkArea* area = WorkAreaTable[n].get();
    platform::FileIdentity open;
    if (area != nullptr && !area->vfile.isVirtual && platform::IdentityOfFile(area->file, open) &&
        open == identity)
      return n;
  }
  return 0;
}

// True when the target is the source file itself, under any name.
bool IsTargetFile(const WorkArea& target, const platform::FileIdentity& source) {
  platform::FileIdentity identity;
  return !target.vfile.isVirtual && platform::IdentityOfFile(target.file, identity) &&
         identity == source;
}

bool MemoModuleMissing(const WorkArea& target, const std::string& tag) {
  if (!target.hasMemo || MemoHooks.addMemo != nullptr) return false;
  ReportError(220, "Memo unit MEMO.TPU not linked into program. " + tag);
  return true;
}

// Finds or opens the source; 0 after a reported failure.
std::uint8_t SourceArea(std::string source, const WorkArea& target, const std::string& tag) {
  if (TakeVirtualWords(source)) {
    const std::uint8_t area = AreaOfVirtual(source);
    if (area == 0) {
      ReportError(215, "Virtual file must be open. " + tag);
      return 0;
    }
    if (area == CurrentAreaNumber) {
      ReportError(214, "Attempting to append file to itself. " + tag);
      return 0;
    }
    return MemoModuleMissing(target, tag) ? 0 : area;
  }
  const std::string path = platform::ResolveFileName(FExpand(AddDefaultExt(source, "DBF")));
  platform::FileIdentity identity;
  if (!platform::IdentityOfPath(path, identity)) {
    ReportError(2, tag);
    return 0;
  }
  if (IsTargetFile(target, identity)) {
    ReportError(214, "Attempting to append file to itself. " + tag);
    return 0;
  }
  if (MemoModuleMissing(target, tag)) return 0;
  const std::uint8_t open = AreaOfFile(identity);
  if (open != 0) return open;
  CurrentAreaNumber = kScratchArea;
  USE(path + " ALIAS *FROMFILE");
  return LastErrorCode == 0 ? kScratchArea : 0;
}

Transfer MakeTransfer(std::uint8_t targetArea, std::uint8_t sourceArea) {
  Transfer t;
  t.targetArea = targetArea;
  t.sourceArea = sourceArea;
  t.source = WorkAreaTable[sourceArea].get();
  WorkArea& target = *WorkAreaTable[targetArea];
  t.targetSlots = Slots(target);
  t.sourceSlots = Slots(*t.source);
  for (const FieldDescriptor& f : target.fields) t.map.push_back(SourceFieldNo(*t.source, f.name));
  t.storedTextTravels = !target.vfile.isVirtual && !t.source->vfile.isVirtual;
  t.datesNeedCentury = target.vfile.isVirtual && !t.source->vfile.isVirtual;
  return t;
}

// Fields that a byte copy of an equal native record does not carry whole: memos (their text
// belongs in the target's memo file) and a table's dates into a virtual file.
bool CopiedByField(const Transfer& t, const FieldDescriptor& f, int kind) {
  if (f.type == 'M') return kind == 1;
  return f.type == 'D' && t.datesNeedCentury;
}

// Fills the target's record from the source's current one.
void FillRecord(const Transfer& t, WorkArea& target, int kind) {
  if (kind == 2) {
    ClearRecord();
    target.native[0] = t.source->native[0];
    for (std::size_t b = 0; b < t.map.size(); ++b) CopyFieldConverted(t, b);
    return;
  }
  // The stored record travels with the values, so dates keep their century.
  if (t.storedTextTravels) target.raw = t.source->raw;
  // A virtual file's buffer may be larger than its structure's record; the record is what goes.
  std::memcpy(target.native, t.source->native, NativeSizeOf(target));
  for (std::size_t b = 0; b < t.map.size(); ++b) {
    if (CopiedByField(t, target.fields[b], kind)) CopyFieldConverted(t, b);
  }
}

void CopyRecords(const Transfer& t) {
  WorkArea& target = *WorkAreaTable[t.targetArea];
  const int kind = StructureKind(target, *t.source);
  CurrentAreaNumber = t.sourceArea;
  GoTop();
  while (LastErrorCode == 0 && !dEOF()) {
    CurrentAreaNumber = t.targetArea;
    FillRecord(t, target, kind);
    Append();
    if (LastErrorCode != 0) return;
    CurrentAreaNumber = t.sourceArea;
    SKIP(1);
  }
}

}  // namespace

void AppendFrom(const std::string& source) {
  const std::string tag = "[AppendFrom(" + source + ")]";
  if (NoDbfInUse(tag.c_str())) return;
  LastErrorCode = 0;
  const std::uint8_t targetArea = CurrentAreaNumber;
  AreaRestore restore(targetArea);
  const std::uint8_t sourceArea = SourceArea(source, *Area(), tag);
  if (sourceArea == 0) return;
  const Transfer transfer = MakeTransfer(targetArea, sourceArea);
  if (std::all_of(transfer.map.begin(), transfer.map.end(), [](std::int32_t a) { return a == 0; }))
    return;
  CopyRecords(transfer);
}

}  // namespace dadav
