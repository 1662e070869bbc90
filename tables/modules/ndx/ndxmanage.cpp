#include "tables/modules/ndx/ndxmanage.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/files/fileidentity.h"
#include "platform/files/filelock.h"
#include "platform/files/newoutput.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/expr/expreval.h"
#include "tables/modules/expr/exprkeys.h"
#include "tables/modules/expr/exprnormal.h"
#include "tables/modules/ndx/ndxbuild.h"
#include "tables/modules/ndx/ndxfile.h"
#include "tables/modules/ndx/ndxmark.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tables/modules/ndx/ndxsemaphore.h"
#include "tables/modules/ndx/ndxupdate.h"

namespace dadav {

std::uint8_t KeyIndexNumber = 1;

namespace {

struct IndexOptions {
  bool unique = false;
  bool soundex = false;
  bool descending = false;
  bool noCache = false;
};

// Takes the option words off the name.
IndexOptions TakeOptions(std::string& name) {
  IndexOptions options;
  options.unique = ExtractOption(" UNIQUE", name);
  options.soundex = ExtractOption(" SOUNDEX", name);
  options.descending = ExtractOption(" DESCENDING", name);
  options.noCache = ExtractOption(" NOCACHE", name);
  name = AllTrim(name);
  return options;
}

std::string TableName() {
  const WorkArea* area = Area();
  return area != nullptr ? area->fileName : std::string();
}

bool SharedTable(const WorkArea& area) {
  return !area.exclusive;
}

// Writes a changed anchor and clears the in-change mark; a shared table's index holds its first
// byte locked meanwhile.
void FinishAtClose(IndexDescriptor& d) {
  if ((!d.anchorChanged && !d.inChange) || !d.file.Writable()) return;
  const WorkArea* area = Area();
  if (area == nullptr || !SharedTable(*area)) {
    if (ClearChangeMarkAtClose(d) && d.anchorChanged) WriteAnchorNode(d);
    return;
  }
  if (const int code = platform::LockRange(d.file.Descriptor(), 0, 1, true); code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Could not lock index for writing anchor node " + d.name);
    return;
  }
  if (ClearChangeMarkAtClose(d) && d.anchorChanged) WriteAnchorNode(d);
  if (const int code = platform::UnlockRange(d.file.Descriptor(), 0, 1); code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Could not unlock index after writing anchor node " + d.name);
  }
}

void CloseSlot(std::uint8_t n) {
  NdxAreaState& state = IndexArea();
  std::unique_ptr<IndexDescriptor>& slot = state.descriptors[n];
  if (!slot) return;
  FinishAtClose(*slot);
  if (n == 1) state.cache.reset();
  slot.reset();
}

// Another slot of any area holds this file, other than for this very table in another area.
bool OpenElsewhere(const platform::FileIdentity& file) {
  const WorkArea* table = Area();
  platform::FileIdentity tableId;
  const bool haveTable = table != nullptr && platform::IdentityOfFile(table->file, tableId);
  for (std::uint8_t a = 1; a <= 35; ++a) {
    for (const auto& slot : IndexAreaOf(a).descriptors) {
      platform::FileIdentity open;
      if (!slot || !platform::IdentityOfFile(slot->file, open) || !(open == file)) continue;
      const WorkArea* other = WorkAreaTable[a].get();
      platform::FileIdentity otherTable;
      const bool sameTable = a != CurrentArea() && haveTable && other != nullptr &&
                             platform::IdentityOfFile(other->file, otherTable) &&
                             otherTable == tableId;
      if (!sameTable) return true;
    }
  }
  return false;
}

// The descriptor of any area that holds this file open.
const IndexDescriptor* OpenDescriptorOf(const std::string& path) {
  platform::FileIdentity wanted;
  if (!platform::IdentityOfPath(path, wanted)) return nullptr;
  for (std::uint8_t a = 1; a <= 35; ++a) {
    for (const auto& slot : IndexAreaOf(a).descriptors) {
      platform::FileIdentity open;
      if (slot && platform::IdentityOfFile(slot->file, open) && open == wanted) return slot.get();
    }
  }
  return nullptr;
}

void ReportOpen(std::uint16_t code, const std::string& text) {
  const bool tagged = text.find(" [") != std::string::npos && text.back() == ']';
  ReportError(code, tagged ? text : text + " [OpenIndex/Set_Index_To]");
}

// Compiles the stored expression, or checks it names a KeyMaker; false after an error.
bool TakeKey(IndexDescriptor& d, const std::string& stored) {
  const WorkArea& area = *Area();
  const std::string text = NormalizeKeyExpression(area.tableIsOem ? OemToStr(stored) : stored);
  const bool madeByKeyMaker = text == kKeyMakerIndexText;
  if (d.keyMaker != nullptr) {
    if (madeByKeyMaker) return true;
    ReportError(223,
                "Attempted use of Key Maker function with index file created with a dBASE key "
                "expression [OpenIndex/Set_Index_ToCB(" +
                    d.name + ")]");
    return false;
  }
  if (madeByKeyMaker) {
    ReportOpen(223, "Key maker function required, \"" + d.name +
                        "\" was created using KeyMaker function.");
    return false;
  }
  const bool reporting = SetReportErrors(false);
  d.compiled = ParserPresent ? AssignExpr(text) : nullptr;
  SetReportErrors(reporting);
  LastErrorCode = 0;
  const char type = d.compiled != nullptr ? d.compiled->type : 'L';
  // The comparator follows the expression; the numeric flag must say the same.
  if ((type != 'C' && type != 'D' && type != 'N') || (type != 'C') != d.anchor.Numeric()) {
    ReportOpen(222, "Invalid dBASE key expression or corrupted index file " + d.name);
    return false;
  }
  d.numeric = type != 'C';
  return true;
}

bool ReadHeader(IndexDescriptor& d, NdxBlock& block) {
  std::uint64_t blocks = 0;
  if (ReadNdxBlock(d.file, 0, block) != 0 || CountNdxBlocks(d.file, blocks) != 0) {
    ReportOpen(222, "Unable to open index: " + d.name);
    return false;
  }
  d.anchor = NdxAnchorOf(block);
  if (!NdxAnchorIsSound(d.anchor, blocks)) {
    ReportOpen(222, "Unable to open index: " + d.name);
    return false;
  }
  // A file longer than its next-free counter says was extended by a writer that did not
  // finish: nodes are never taken twice.
  const std::uint32_t nextFree = static_cast<std::uint32_t>(blocks);
  if (nextFree != d.anchor.NextFree()) {
    d.anchor.SetNextFree(nextFree);
    d.anchorChanged = true;
  }
  return true;
}

bool AnchorMarked(IndexDescriptor& d, NdxBlock& block) {
  return ReadNdxBlock(d.file, 0, block) == 0 && NdxChangeMarked(block);
}

// A program changing a shared index holds the write lock and takes its mark back before it lets
// go, and a read waits for the lock: only a mark still there once a read may begin was left by
// a program that ended during its change.
bool MarkLeftBehind(IndexDescriptor& d, NdxBlock& block) {
  IndexBracket bracket(true, &SetReadSemaphoreProc);
  return AnchorMarked(d, block);
}

// An index a program left half changed: rebuilt from its own key for a table opened
// exclusively, refused otherwise. False after an error; true with the file open and unmarked.
bool TakeMarkedIndex(IndexDescriptor& d, NdxBlock& block) {
  if (!AnchorMarked(d, block)) return true;
  const WorkArea& area = *Area();
  if (SharedTable(area)) {
    if (!MarkLeftBehind(d, block)) return LastErrorCode == 0;
    ReportOpen(222, MarkedIndexMessage(d.name));
    return false;
  }
  const std::string stored = NdxStoredExpression(block);
  const std::string expression = area.tableIsOem ? OemToStr(stored) : stored;
  // Without the KeyMaker that built it, or with one for an expression index, the open fails
  // as it would for an unmarked file.
  const bool byKeyMaker = NormalizeKeyExpression(expression) == kKeyMakerIndexText;
  if (byKeyMaker != (d.keyMaker != nullptr)) return TakeKey(d, stored);
  d.file.Close();
  MakeIndex(d.name, byKeyMaker ? std::string() : expression, d.soundex, 0,
            NdxAnchorOf(block).Unique(), d.descending, d.keyMaker, d.userData);
  if (LastErrorCode != 0) return false;
  if (const int code = d.file.Open(d.name, platform::kModeExclusive); code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Unable to open index: " + d.name);
    return false;
  }
  return true;
}

bool CheckKeyLength(IndexDescriptor& d) {
  if (d.numeric || Area()->recCount == 0 || (d.keyMaker != nullptr && d.soundex)) return true;
  const std::string key = BlankRecordKeyText(d);
  if (key.size() == d.KeyLength()) return true;
  ReportError(266, "Incorrect key length: Must be 1 to 100.\n\rExpected Length= " +
                       std::to_string(d.KeyLength()) + "\n\rKey= [" + key +
                       "]  [SetIndexTo/OpenIndex]");
  return false;
}

void OpenIndex(const std::string& path, const IndexOptions& options, std::uint8_t n,
               KeyMaker keyMaker, void* userData) {
  WorkArea& area = *Area();
  NdxAreaState& state = IndexArea();
  platform::FileIdentity identity;
  if (platform::IdentityOfPath(path, identity) && OpenElsewhere(identity)) {
    ReportError(220, "Index file already open: " + path + " for " + area.fileName +
                         "\n\rAttempting to set index of same name for " + area.fileName +
                         ". [OpenIndex/Set_Index_To]");
    return;
  }
  if (state.descriptors[n]) {
    ReportError(254, "Internal error: IND pointer already allocated [OpenIndex/Set_Index_To]");
    return;
  }
  auto d = std::make_unique<IndexDescriptor>();
  d->name = path;
  d->order = n;
  d->keyMaker = keyMaker;
  d->userData = userData;
  d->soundex = options.soundex;
  d->descending = options.descending;
  const std::uint16_t mode = SharedTable(area) ? platform::kModeShared : platform::kModeExclusive;
  if (const int code = d->file.Open(path, mode); code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Unable to open index: " + path);
    return;
  }
  // With the index open here nobody is building it: a build file beside it is a crash's leftover.
  platform::RemoveLeftover(IndexBuildFileName(path));
  NdxBlock block{};
  if (!TakeMarkedIndex(*d, block)) return;
  if (!ReadHeader(*d, block)) return;
  d->expression = NdxStoredExpression(block);
  if (!TakeKey(*d, d->expression) || !CheckKeyLength(*d)) return;
  d->savedKey.assign(d->KeyLength() + 1u, 0);
  if (d->anchorChanged) {
    // Another program may be writing nodes just now: the repair looks again once it is done.
    IndexBracket bracket(true, &SetLockSemaphoreProc);
    d->anchorChanged = false;
    if (!ReadHeader(*d, block)) return;
    if (d->anchorChanged) WriteAnchorNode(*d);
    if (LastErrorCode != 0) return;
  }
  if (n == 1) {
    if (state.cache) {
      ReportError(254, "Internal error: Cache already allocated  [OpenIndex/Set_Index_To]");
      return;
    }
    if (!options.noCache && !SharedTable(area)) {
      state.cache = std::make_unique<NdxNodeCache>(NodeCacheBytes);
    }
  }
  state.descriptors[n] = std::move(d);
}

// The record the table was opened on was read before this program logged in to the index:
// another program may have changed it since.
void RereadCurrentRecord(WorkArea& area) {
  IndexBracket bracket(true, &SetReadSemaphoreProc);
  RefreshRecCount();
  if (area.recNo < 1 || area.recNo > area.recCount) return;
  GetDbfRecord(area, area.recNo);
  LoadNativeRecord();
}

void SwapSlots(std::uint8_t a, std::uint8_t b) {
  std::swap(IndexArea().descriptors[a], IndexArea().descriptors[b]);
}

// The next name of a blank-separated list, from `at` on, which moves past it: the longest run
// of words that names an existing index file, so that a blank inside a folder or file name
// never splits it; when no run does, the first word, whose absence SetIndexTo reports.
std::string NextListedName(const std::string& names, std::size_t& at) {
  const std::size_t start = names.find_first_not_of(' ', at);
  if (start == std::string::npos) {
    at = names.size();
    return std::string();
  }
  std::size_t end = std::min(names.find(' ', start), names.size());
  std::size_t chosen = end;
  for (;;) {
    std::string name = names.substr(start, end - start);
    TakeOptions(name);
    if (!name.empty() && FileExists(IndexFilePath(name))) chosen = end;
    if (end == names.size()) break;
    end = std::min(names.find(' ', end + 1), names.size());
  }
  at = chosen;
  return names.substr(start, chosen - start);
}

// Some slot holds the index opened as that order.
bool OrderOpen(std::uint8_t order) {
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    const IndexDescriptor* d = IndexSlot(n);
    if (d != nullptr && d->order == order) return true;
  }
  return false;
}

std::string WithOptions(const std::string& name, bool unique, bool soundex, bool descending,
                        bool noCache) {
  std::string text = name;
  if (soundex) text += " SOUNDEX";
  if (descending) text += " DESCENDING";
  if (unique) text += " UNIQUE";
  if (noCache) text += " NOCACHE";
  return text;
}

struct RebuildPlan {
  std::string name;
  std::string expression;
  std::uint8_t order = 0;
  bool unique = false;
  bool soundex = false;
  bool descending = false;
  bool noCache = false;
  KeyMaker keyMaker = nullptr;
  void* userData = nullptr;
};

bool PlanOf(const IndexDescriptor& d, bool cached, RebuildPlan& plan) {
  plan = {d.name,       "",      d.order,    d.Unique(), d.soundex,
          d.descending, !cached, d.keyMaker, d.userData};
  if (d.keyMaker != nullptr) return true;
  NdxBlock block{};
  if (ReadNdxBlock(d.file, 0, block) != 0) {
    ReportError(100, "Error reading index file:  [Reindex]");
    return false;
  }
  const std::string stored = NdxStoredExpression(block);
  plan.expression = Area()->tableIsOem ? OemToStr(stored) : stored;
  return true;
}

std::string OrderKeyText() {
  std::string text;
  CurrentKeyText(text);
  return text;
}

std::string RecordKeyText() {
  return "Rec:" + FormatFieldInt(Area() != nullptr ? Area()->recNo : 0, 10);
}

using KeyTextProc = std::string (*)();

KeyTextProc GetKeyProc(std::uint8_t slot) {
  if (IndexSlot(slot) == nullptr) return nullptr;
  KeyIndexNumber = slot;
  return &OrderKeyText;
}

KeyTextProc GetOrderKeyProc() {
  if (IndexSlot(1) == nullptr) return nullptr;
  KeyIndexNumber = 1;
  return IndexArea().naturalOrder ? &RecordKeyText : &OrderKeyText;
}

bool IndexAscending(std::uint8_t slot) {
  const IndexDescriptor* d = IndexSlot(slot);
  return d == nullptr || !d->descending;
}

bool IndexSoundex(std::uint8_t slot) {
  const IndexDescriptor* d = IndexSlot(slot);
  return d != nullptr && d->soundex;
}

// The indexes of a table given back to shared use after this program had it alone (PACK rebuilt
// them meanwhile): the files are shared again, and the node cache goes, since other programs may
// change the nodes from now on.
int ShareIndexes() {
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    if (const int code = d->file.ConvertShare(false); code != 0) return code;
  }
  IndexArea().cache.reset();
  return 0;
}

template <typename Proc>
void* ServiceAddress(Proc proc) {
  return reinterpret_cast<void*>(proc);
}

}  // namespace

bool SetIndexTo(const std::string& name, std::uint8_t order, KeyMaker keyMaker, void* userData) {
  LastErrorCode = 0;
  if (order >= 1 && order <= kIndexSlots && Area() != nullptr) CloseSlot(order);
  std::string plain = name;
  const IndexOptions options = TakeOptions(plain);
  if (plain.empty()) return false;
  const std::string path = IndexFilePath(plain);
  const std::string tag =
      " [SetIndexTo(<>," + path + "," + std::to_string(static_cast<int>(order)) + ")]";
  if (order < 1 || order > kIndexSlots) {
    ReportError(220, "Index Order parameter out of range" + tag);
    return false;
  }
  WorkArea* area = Area();
  if (area == nullptr || area->state == kClosed) {
    ReportError(215, "Attempt to open " + path + " index file with no DBF file open." + tag);
    return false;
  }
  if (!FileExists(path)) {
    ReportError(2, "Attempt to open " + path + " [SetIndexTo(...," +
                       std::to_string(static_cast<int>(order)) + ")]");
    return false;
  }
  CurrentOrderSlot = order;
  if ((area->openMode & 0x70) == 0x40 && (area->openMode & 3) == 2) {
    HandleSemafore(SemaphoreAction::kLogin);
    if (LastErrorCode != 0) return false;
  }
  OpenIndex(path, options, order, keyMaker, userData);
  CurrentOrderSlot = 1;
  if (LastErrorCode != 0) return false;
  if (SharedTable(*area)) RereadCurrentRecord(*area);
  SaveCurrentKey();
  return true;
}

void SetIndexToNames(const std::string& name, std::uint8_t order) {
  if (SetIndexTo(name, order, nullptr, nullptr)) Set_Order_To(1);
}

void SetIndexToCB(const std::string& name, std::uint8_t order, KeyMaker keyMaker, void* userData) {
  if (SetIndexTo(name, order, keyMaker, userData)) Set_Order_To(1);
}

void CloseAndSetIndexTo(const std::string& names) {
  CloseIndexes();
  std::uint8_t order = 0;
  std::size_t at = 0;
  while (order < kIndexSlots) {
    const std::string name = NextListedName(names, at);
    if (name.empty()) break;
    if (!SetIndexTo(name, ++order, nullptr, nullptr)) return;
  }
  if (order > 0) Set_Order_To(1);
}

void CloseIndexes() {
  if (Area() == nullptr) return;
  IndexArea().naturalOrder = false;
  const bool reporting = SetReportErrors(false);
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    LastErrorCode = 0;
    CloseSlot(n);
  }
  HandleSemafore(SemaphoreAction::kLogout);
  SetReportErrors(reporting);
}

void Set_Order_To(std::uint8_t order) {
  if (NoDbfInUse("Set_Order_To")) return;
  const std::string tag = "[Set_Order_To(" + std::to_string(static_cast<int>(order)) + ")]";
  if (IndexSlot(1) == nullptr) {
    ReportError(221, "Index not open. (DBF=" + TableName() + ") " + tag);
    return;
  }
  if (order > kIndexSlots) {
    ReportError(
        220, "Invalid Index Order Specified: SET_ORDER_TO. " + tag + " (DBF=" + TableName() + ")");
    return;
  }
  NdxAreaState& state = IndexArea();
  if (order == 0) {
    state.naturalOrder = true;
    return;
  }
  // Refused before anything moves: the controlling index and its node cache stay together.
  if (!OrderOpen(order)) {
    ReportError(221, "Index not open.. (DBF=" + TableName() + ") " + tag);
    return;
  }
  IndexBracket bracket(true, &SetReadSemaphoreProc);
  const bool atEnd = IndexSlot(1)->endPosition;
  if (const std::uint8_t home = IndexSlot(1)->order; home != 1) SwapSlots(1, home);
  if (order != 1) SwapSlots(1, order);
  if (state.cache) state.cache = std::make_unique<NdxNodeCache>(state.cache->Bytes());
  state.naturalOrder = false;
  CurrentOrderSlot = 1;
  IndexDescriptor& d = *IndexSlot(1);
  d.path.clear();
  d.endPosition = atEnd;
  const bool found = FindFound;
  SyncIndex(true);
  SaveCurrentKey();
  FindFound = found;
}

std::uint8_t CurrentOrder() {
  const IndexDescriptor* d = Area() != nullptr ? IndexSlot(1) : nullptr;
  if (d == nullptr || IndexArea().naturalOrder) return 0;
  return d->order;
}

bool Index_On() {
  CloseIndexes();
  return Area() == nullptr || IndexSlot(1) == nullptr;
}

void MakeIndexExpr(const std::string& expression, const std::string& name) {
  std::string plain = name;
  const IndexOptions options = TakeOptions(plain);
  MakeIndex(plain, expression, false, 0, options.unique, false, nullptr, nullptr);
}

void MakeIndexCB(const std::string& name, KeyMaker keyMaker, void* userData) {
  std::string plain = name;
  const IndexOptions options = TakeOptions(plain);
  MakeIndex(plain, "", options.soundex, 0, options.unique, options.descending, keyMaker, userData);
}

void IndexOnExpr(const std::string& expression, const std::string& name) {
  if (!Index_On()) return;
  MakeIndexExpr(expression, name);
  if (LastErrorCode == 0) SetIndexToNames(name, 1);
}

void IndexOnCB(const std::string& name, KeyMaker keyMaker, void* userData) {
  if (!Index_On()) return;
  MakeIndexCB(name, keyMaker, userData);
  if (LastErrorCode == 0) SetIndexToCB(name, 1, keyMaker, userData);
}

void Reindex() {
  if (NoDbfInUse("Reindex")) return;
  if (IndexSlot(1) == nullptr) {
    ReportError(221, "Index not open. (DBF=" + TableName() + ") [Reindex]");
    return;
  }
  const std::uint8_t order = CurrentOrder();
  std::vector<RebuildPlan> plans;
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    const IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    RebuildPlan plan;
    if (!PlanOf(*d, n == 1 && IndexArea().cache != nullptr, plan)) return;
    plans.push_back(plan);
  }
  // An index PACK left marked stays so until it is rebuilt: a crash in between must not leave
  // it trusted.
  KeepIndexMarks();
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) CloseSlot(n);
  // A build that fails leaves its old file as it was. That file and the ones not rebuilt yet are
  // opened again all the same, so that later changes keep them in step; the first error is
  // reported once they are open.
  const bool reporting = SetReportErrors(false);
  std::uint16_t failed = 0;
  std::string message;
  const auto note = [&failed, &message] {
    if (failed != 0 || LastErrorCode == 0) return;
    failed = LastErrorCode;
    message = LastErrorMessage;
  };
  for (const RebuildPlan& plan : plans) {
    if (failed == 0) {
      MakeIndex(plan.name, plan.expression, plan.soundex, plan.order, plan.unique, plan.descending,
                plan.keyMaker, plan.userData);
      note();
    }
    const std::string name =
        WithOptions(plan.name, plan.unique, plan.soundex, plan.descending, plan.noCache);
    if (!SetIndexTo(name, plan.order, plan.keyMaker, plan.userData)) note();
  }
  SetReportErrors(reporting);
  if (failed != 0) {
    ReportError(failed, message);
    return;
  }
  Set_Order_To(order);
}

void IndexInfo(IndexInfoRecord& info, const std::string& name) {
  info = IndexInfoRecord{};
  if (AllTrim(name).empty()) {
    ReportError(220, "Error reading index file: \n\r[IndexInfo(<>," + name + ")]");
    return;
  }
  const std::string path = IndexFilePath(name);
  platform::BlockFile file;
  int code = file.Open(path, platform::kModeShared);
  if (code == 5 || code == 32) code = file.Open(path, platform::kModeSharedRead);
  NdxBlock block{};
  if (code == 0) {
    code = ReadNdxBlock(file, 0, block);
  } else if (const IndexDescriptor* open = OpenDescriptorOf(path); open != nullptr) {
    // This program holds it exclusively with its table: read it through that descriptor.
    code = ReadNdxBlock(open->file, 0, block);
  }
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Error reading index file: \n\r[IndexInfo(<>," + path + ")]");
    return;
  }
  info = NdxInfoOf(block);
}

std::int32_t IndexRecCount(const std::string& name) {
  IndexInfoRecord info;
  IndexInfo(info, name);
  return LastErrorCode == 0 ? info.recordCount : -1;
}

void CurrentKeyText(std::string& text) {
  text.clear();
  IndexDescriptor* d = IndexSlot(KeyIndexNumber);
  if (d == nullptr) return;
  if (d->keyMaker != nullptr) {
    d->keyMaker(d->userData, d->order, text);
    return;
  }
  const void* value = EvalCompiled(d->compiled);
  if (value == nullptr) return;
  if (d->compiled->type == 'C') {
    const char* chars = static_cast<const char*>(value);
    text.assign(chars, strnlen(chars, kMaxNdxKeyLength));
    return;
  }
  double number = 0;
  std::memcpy(&number, value, sizeof number);
  if (d->compiled->type == 'D') {
    text = JulianToDtoc(number);
    return;
  }
  text = FormatFieldReal(number, d->compiled->width, d->compiled->decimals);
}

void GetIndexFileName(std::uint8_t slot, std::string& name) {
  const IndexDescriptor* d = IndexSlot(slot);
  name = d != nullptr ? d->name : std::string();
}

void IndexInit() {
  if (IndexPresent) {
    ReportError(254, "ERROR: BOTH INDEX4 and ZIZAV units linked in. [IndexInit]");
    return;
  }
  CurrentOrderSlot = 1;
  KeyIndexNumber = 1;
  FindExact = false;
  FindFound = false;
  ResetIndexAreas();
  ResetSemaphores();
  IndexHookTable& hooks = IndexHooks;
  hooks.indexActive = &IndexActive;
  hooks.syncIndex = [] { SyncIndex(false); };
  hooks.nextKey = &_FindNextRec;
  hooks.priorKey = &_FindPriorRec;
  hooks.firstKey = &_FindFirstRec;
  hooks.lastKey = &_FindLastRec;
  hooks.indexEof = &IndexEOF;
  hooks.indexBof = &IndexBOF;
  hooks.appendNewKey = &AppendNewKey;
  hooks.saveCurrentKey = &SaveCurrentKey;
  hooks.syncAndSaveKeys = &SyncAndSaveKeys;
  hooks.compareKeys = &MoveChangedKeys;
  hooks.setIndexBof = &SetIndexBOF;
  hooks.setIndexEof = &SetIndexEOF;
  hooks.foundFlag = &FindFound;
  hooks.reindex = &Reindex;
  hooks.closeIndexes = &CloseIndexes;
  hooks.getIndexFileName = ServiceAddress(&GetIndexFileName);
  hooks.getKeyProc = ServiceAddress(&GetKeyProc);
  hooks.getOrderKeyProc = ServiceAddress(&GetOrderKeyProc);
  hooks.indexAscending = ServiceAddress(&IndexAscending);
  hooks.indexSoundex = ServiceAddress(&IndexSoundex);
  hooks.setReadSemaphore = &SetReadSemaphoreProc;
  hooks.setLockSemaphore = &SetChangeBracket;
  hooks.markIndexesChanging = &MarkIndexesChanging;
  hooks.clearIndexMarks = &ClearIndexMarks;
  hooks.keepIndexMarks = &KeepIndexMarks;
  hooks.shareIndexes = &ShareIndexes;
  IndexPresent = true;
}

}  // namespace dadav
