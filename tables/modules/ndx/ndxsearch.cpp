#include "tables/modules/ndx/ndxsearch.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/expr/exprkeys.h"
#include "tables/modules/ndx/ndxsemaphore.h"
#include "tables/modules/ndx/ndxwalk.h"

namespace dadav {
namespace {

std::string TableName() {
  const WorkArea* area = Area();
  return area != nullptr ? area->fileName : std::string();
}

// The descriptor of the order slot, or nullptr after error 221.
IndexDescriptor* OrderIndex(const char* tag) {
  IndexDescriptor* d = IndexSlot(CurrentOrderSlot);
  if (d == nullptr) {
    ReportError(221, "Index not open. (DBF=" + TableName() + ") [" + tag + "]");
  }
  return d;
}

std::int32_t PastEnd() {
  return RecCount() + 1;
}

void SaveEntryKey(IndexDescriptor& d) {
  const std::uint8_t* key = CurrentEntryKey(d);
  if (key == nullptr) return;
  std::memcpy(d.savedKey.data(), key, d.KeyLength());
  d.savedKey[d.KeyLength()] = 0;
}

// Sets both flags and answers the end: the index holds no key.
std::int32_t EmptyIndex(IndexDescriptor& d) {
  d.atBegin = d.atEnd = true;
  return PastEnd();
}

// A step the index refused ends the move where it is, as at either end of the index.
std::int32_t StayOnRefusal(IndexDescriptor& d) {
  d.atBegin = d.atEnd = true;
  return Area()->recNo;
}

// Ends a successful first or last: flags cleared, key saved, the entry's record.
std::int32_t OnEntry(IndexDescriptor& d) {
  d.atBegin = d.atEnd = false;
  FindFound = true;
  SaveEntryKey(d);
  return CurrentEntryRecord(d);
}

std::int32_t FirstOf(IndexDescriptor& d, std::uint8_t slot) {
  if (!WalkFirst(d, slot)) return EmptyIndex(d);
  return OnEntry(d);
}

std::int32_t LastOf(IndexDescriptor& d, std::uint8_t slot) {
  if (!WalkLast(d, slot)) return EmptyIndex(d);
  return OnEntry(d);
}

bool OnValidEntry(const IndexDescriptor& d) {
  return CurrentEntryRecord(d) >= 0;
}

// One entry forward from a real position of the index.
// The first or last entry in the middle of a walk: the steps taken so far still count, so a
// damaged file whose neighbours lead in a circle ends in an error.
std::int32_t EndWithinWalk(IndexDescriptor& d, std::uint8_t slot, bool last) {
  const std::int64_t walked = d.walked;
  const std::int32_t record = last ? LastOf(d, slot) : FirstOf(d, slot);
  d.walked += walked;
  return record;
}

std::int32_t StepForward(IndexDescriptor& d, std::uint8_t slot) {
  if (!WalkNext(d, slot)) {
    if (LastErrorCode != 0) return PastEnd();
    if (!OnValidEntry(d)) return EndWithinWalk(d, slot, true);
    d.atEnd = true;
  }
  FindFound = !d.atEnd;
  SaveEntryKey(d);
  return CurrentEntryRecord(d);
}

std::int32_t StepBack(IndexDescriptor& d, std::uint8_t slot) {
  if (!WalkPrior(d, slot)) {
    if (LastErrorCode != 0) return PastEnd();
    if (!OnValidEntry(d)) return EndWithinWalk(d, slot, false);
    d.atBegin = true;
  }
  FindFound = !d.atBegin;
  SaveEntryKey(d);
  return CurrentEntryRecord(d);
}

// Keeps the order slot and the order-0 flag of the area for the scope.
class OrderScope {
 public:
  OrderScope() : slot_(CurrentOrderSlot), natural_(IndexArea().naturalOrder) {
    IndexArea().naturalOrder = false;
  }
  ~OrderScope() {
    CurrentOrderSlot = slot_;
    IndexArea().naturalOrder = natural_;
  }
  OrderScope(const OrderScope&) = delete;
  OrderScope& operator=(const OrderScope&) = delete;

 private:
  std::uint8_t slot_;
  bool natural_;
};

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// Steps over the entries of the key until the one of the record; false when the key ends first.
bool StepToRecord(IndexDescriptor& d, std::uint8_t slot, const std::uint8_t* key,
                  std::int32_t record) {
  while (CurrentEntryRecord(d) != record) {
    StepForward(d, slot);
    const std::uint8_t* at = CurrentEntryKey(d);
    if (LastErrorCode != 0 || d.atEnd || at == nullptr || d.Order(at, key) != 0) return false;
  }
  return true;
}

// Places slot n on the current record; false after error 212.
bool SyncSlot(std::uint8_t n, bool soft) {
  IndexDescriptor& d = *IndexSlot(n);
  CurrentOrderSlot = n;
  const WorkArea& area = *Area();
  // Another program's change is looked for first: it may have changed the record itself.
  if (!soft && !ChangeCheck()) return false;
  std::vector<std::uint8_t> key;
  BuildKey(d, key);
  SeekKey(key.data());
  if (LastErrorCode != 0) return false;
  if (!FindFound) {
    if (soft) return true;
    ReportError(212, "Key: " + Quoted(KeyAsText(d, key.data())) + " not in index: " + d.name +
                         ". [SyncIndex-1] Record: " + std::to_string(area.recNo));
    return false;
  }
  if (d.Unique() || StepToRecord(d, n, key.data(), area.recNo)) return true;
  ReportError(212, "Record with key: " + Quoted(KeyAsText(d, key.data())) + " not in index: " +
                       d.name + (soft ? ". [SoftSyncIndex]" : ". [SyncIndex-2]"));
  return false;
}

// The number a FIND text stands for, read like VAL: the leading number, "." as the decimal
// sign, 0 when there is none.
double LeadingNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  const std::size_t start = i;
  if (text[i] == '-' || text[i] == '+') ++i;
  bool point = false;
  while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || (text[i] == '.' && !point))) {
    point = point || text[i] == '.';
    ++i;
  }
  return ParseFieldReal(std::string_view(text).substr(start, i - start));
}

// The search key of a FIND text and the length a match must agree over.
std::uint16_t FindKey(const IndexDescriptor& d, std::string text, std::vector<std::uint8_t>& key) {
  if (text.size() > kMaxNdxKeyLength) text.resize(kMaxNdxKeyLength);
  const std::uint16_t length = d.KeyLength();
  if (d.numeric) {
    const bool date = d.compiled != nullptr && d.compiled->type == 'D';
    const double value = date ? CtodToJulian(AllTrim(text)) : LeadingNumber(text);
    key.assign(kNdxDoubleKeyLength, 0);
    StoreNdxDouble(value, key.data());
    return length;
  }
  if (d.keyMaker != nullptr) {
    if (FindExact) text = PadRight(text, length);
    if (d.soundex) text = SoundexCode(text);
    if (d.descending) {
      for (char& c : text) c = static_cast<char>(c ^ '\xFF');
    }
  } else {
    if (FindExact) text = PadRight(text, length);
    const WorkArea* area = Area();
    if (area != nullptr && area->tableIsOem) text = StrToOem(text);
  }
  // Zeros sort before every byte, so a shorter text finds the first key it begins.
  key.assign(length, 0);
  std::memcpy(key.data(), text.data(), std::min<std::size_t>(text.size(), length));
  if (FindExact) return length;
  return static_cast<std::uint16_t>(std::min<std::size_t>(text.size(), length));
}

bool PrefixEqual(const IndexDescriptor& d, const std::uint8_t* a, const std::uint8_t* b,
                 std::uint16_t length) {
  if (d.numeric || length == d.KeyLength()) return d.Order(a, b) == 0;
  return std::memcmp(a, b, length) == 0;
}

void PositionAndSkipHidden(IndexDescriptor& d) {
  Dbf4RawGo(CurrentEntryRecord(d));
  while (LastErrorCode == 0 && !RecordVisible() && !d.atEnd) {
    const std::int32_t record = StepForward(d, 1);
    if (d.atEnd || LastErrorCode != 0) break;
    Dbf4RawGo(record);
  }
}

}  // namespace

std::int32_t CurrentEntryRecord(const IndexDescriptor& d) {
  if (d.endPosition || d.path.empty()) return -1;
  const NdxPathLevel& top = d.path.back();
  NdxBlock& block = const_cast<NdxBlock&>(top.block);
  const NdxNodeView view(block, d.EntrySize());
  if (top.position < 0 || top.position >= view.Count()) return -1;
  return static_cast<std::int32_t>(view.Record(static_cast<std::uint16_t>(top.position)));
}

const std::uint8_t* CurrentEntryKey(const IndexDescriptor& d) {
  if (CurrentEntryRecord(d) < 0) return nullptr;
  const NdxPathLevel& top = d.path.back();
  NdxBlock& block = const_cast<NdxBlock&>(top.block);
  return NdxNodeView(block, d.EntrySize()).Key(static_cast<std::uint16_t>(top.position));
}

std::int32_t _FindFirstRec() {
  FindFound = false;
  IndexDescriptor* d = OrderIndex("_FindFirstRec");
  if (d == nullptr) return 0;
  if (IndexArea().naturalOrder) {
    FindFound = RecCount() != 0;
    return 1;
  }
  if (!ChangeCheck()) return EmptyIndex(*d);
  return FirstOf(*d, CurrentOrderSlot);
}

std::int32_t _FindLastRec() {
  FindFound = false;
  IndexDescriptor* d = OrderIndex("_FindLastRec");
  if (d == nullptr) return 0;
  if (IndexArea().naturalOrder) {
    FindFound = RecCount() != 0;
    return RecCount();
  }
  if (!ChangeCheck()) return EmptyIndex(*d);
  return LastOf(*d, CurrentOrderSlot);
}

std::int32_t _FindNextRec() {
  FindFound = false;
  IndexDescriptor* d = OrderIndex("_FindNextRec");
  if (d == nullptr) return 0;
  if (!ChangeCheck()) return StayOnRefusal(*d);
  WorkArea& area = *Area();
  if (area.recCount == 0) return EmptyIndex(*d);
  d->atBegin = false;
  if (IndexArea().naturalOrder) {
    if (area.recNo < area.recCount) return area.recNo + 1;
    area.eof = true;
    return area.recNo;
  }
  const std::uint8_t slot = CurrentOrderSlot;
  if (d->atEnd) {
    const std::int32_t last = LastOf(*d, slot);
    d->atEnd = true;
    d->endPosition = true;
    FindFound = false;
    return last;
  }
  if (d->endPosition || d->path.empty()) return FirstOf(*d, slot);
  return StepForward(*d, slot);
}

std::int32_t _FindPriorRec() {
  FindFound = false;
  IndexDescriptor* d = OrderIndex("_FindPriorRec");
  if (d == nullptr) return 0;
  if (!ChangeCheck()) return StayOnRefusal(*d);
  WorkArea& area = *Area();
  if (area.recCount == 0) return EmptyIndex(*d);
  d->atEnd = false;
  if (IndexArea().naturalOrder) {
    if (area.recNo > 1) return area.recNo - 1;
    area.bof = true;
    return area.recNo;
  }
  const std::uint8_t slot = CurrentOrderSlot;
  if (d->endPosition) return LastOf(*d, slot);
  if (d->atBegin) return area.recNo;
  if (d->path.empty()) return FirstOf(*d, slot);
  return StepBack(*d, slot);
}

void SeekKey(const std::uint8_t* key) {
  LastErrorCode = 0;
  IndexDescriptor* d = OrderIndex("SeekKey");
  if (d == nullptr) return;
  if (RecCount() == 0) {
    _FindFirstRec();
    FindFound = false;
    return;
  }
  const std::uint8_t slot = CurrentOrderSlot;
  d->atBegin = d->atEnd = false;
  FindFound = false;
  const std::int32_t position = WalkToKey(*d, slot, key);
  if (LastErrorCode != 0) return;
  if (position == kWalkEmpty) {
    EmptyIndex(*d);
    d->endPosition = true;
    return;
  }
  NdxPathLevel& top = d->path.back();
  const std::uint16_t count = NdxNodeView(top.block, d->EntrySize()).Count();
  if (position == kWalkBeyond) {
    top.position = count - 1;
    StepForward(*d, slot);
    if (d->atEnd) {
      d->path.back().position = NdxNodeView(d->path.back().block, d->EntrySize()).Count();
      FindFound = false;
      return;
    }
  } else {
    top.position = std::max(position, 0);
  }
  const std::uint8_t* at = CurrentEntryKey(*d);
  FindFound = at != nullptr && d->Order(at, key) == 0;
}

void Find(const std::string& text) {
  FindFound = false;
  if (NoDbfInUse("Find")) return;
  IndexDescriptor* d = IndexSlot(1);
  if (d == nullptr) {
    ReportError(221, "Index not open. (DBF=" + TableName() + ") [Find]");
    return;
  }
  if (IndexArea().naturalOrder) {
    ReportError(254, "Cannot use Find() with index order 0 (natural order) [Find]");
    return;
  }
  if (text.empty()) return;
  CurrentOrderSlot = 1;
  if (d->path.empty() || RecCount() == 0) {
    IndexBracket bracket(true, &SetReadSemaphoreProc);
    _FindFirstRec();
    if (d->atEnd) return;
  }
  std::vector<std::uint8_t> key;
  const std::uint16_t length = FindKey(*d, text, key);
  {
    IndexBracket bracket(true, &SetReadSemaphoreProc);
    if (!ChangeCheck()) return;
    SeekKey(key.data());
    if (LastErrorCode != 0) return;
    if (CurrentEntryRecord(*d) < 0 && !d->path.empty()) d->path.back().position -= 1;
    if (CurrentEntryRecord(*d) < 0) {
      GoToEndPosition();
      FindFound = false;
      return;
    }
    PositionAndSkipHidden(*d);
    if (LastErrorCode != 0) return;
    SaveEntryKey(*d);
  }
  const std::uint8_t* at = CurrentEntryKey(*d);
  FindFound = at != nullptr && !d->atEnd && PrefixEqual(*d, at, key.data(), length);
  if (!FindFound) {
    GoToEndPosition();
    FindFound = false;
    return;
  }
  SaveCurrentKey();
}

void GoToEndPosition() {
  IndexDescriptor* d = IndexSlot(1);
  if (d != nullptr) LastOf(*d, 1);
  GoPastEnd();
  if (d == nullptr) return;
  d->atEnd = true;
  d->endPosition = true;
}

void SyncIndex(bool all) {
  if (Area() == nullptr) return;
  OrderScope scope;
  const WorkArea& area = *Area();
  const std::uint8_t last = all ? kIndexSlots : 1;
  for (std::uint8_t n = 1; n <= last; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    if (area.recNo >= 1 && area.recNo <= area.recCount) {
      if (!SyncSlot(n, false)) return;
    } else if (n == 1) {
      GoToEndPosition();
    } else {
      LastOf(*d, n);
    }
  }
}

void SoftSyncIndex() {
  const WorkArea* area = Area();
  if (area == nullptr || IndexSlot(1) == nullptr) return;
  if (area->recNo < 1 || area->recNo > area->recCount) return;
  OrderScope scope;
  SyncSlot(1, true);
}

void SaveCurrentKeys(bool all, std::uint8_t count) {
  const WorkArea* area = Area();
  if (area == nullptr) return;
  const bool onRecord = area->recCount > 0 && area->recNo >= 1 && area->recNo <= area->recCount;
  const std::uint8_t last = all ? kIndexSlots : std::min(count, kIndexSlots);
  std::vector<std::uint8_t> key;
  for (std::uint8_t n = 1; n <= last; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    // After a move the index stands on the record's entry, which holds its key.
    if (!all && onRecord && CurrentEntryRecord(*d) == area->recNo) {
      SaveEntryKey(*d);
      continue;
    }
    if (onRecord) {
      BuildKey(*d, key);
    } else {
      key.assign(d->KeyLength(), d->numeric ? 0 : ' ');
    }
    std::copy(key.begin(), key.end(), d->savedKey.begin());
    d->savedKey[d->KeyLength()] = 0;
  }
}

void SaveCurrentKey() {
  SaveCurrentKeys(false, 1);
}

bool IndexEOF() {
  const IndexDescriptor* d = IndexSlot(1);
  if (IndexArea().naturalOrder || d == nullptr) return Area() != nullptr && Area()->eof;
  return d->atEnd;
}

bool IndexBOF() {
  const IndexDescriptor* d = IndexSlot(1);
  if (IndexArea().naturalOrder || d == nullptr) return Area() != nullptr && Area()->bof;
  return d->atBegin;
}

void SetIndexEOF() {
  if (IndexDescriptor* d = IndexSlot(1); d != nullptr) d->atEnd = true;
}

void SetIndexBOF() {
  if (IndexDescriptor* d = IndexSlot(1); d != nullptr) d->atBegin = true;
}

bool IndexActive() {
  return IndexSlot(1) != nullptr;
}

bool SetFindExact() {
  return std::exchange(FindExact, true);
}

bool ClearFindExact() {
  return std::exchange(FindExact, false);
}

}  // namespace dadav
