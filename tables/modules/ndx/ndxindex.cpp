#include "tables/modules/ndx/ndxindex.h"

#include <algorithm>
#include <cstring>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/expr/expreval.h"
#include "tables/modules/expr/exprkeys.h"
#include "tables/modules/ndx/ndxfile.h"
#include "tables/modules/ndx/ndxmark.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tables/modules/ndx/ndxsemaphore.h"

namespace dadav {

bool FindFound = false;
bool FindExact = false;
std::uint8_t CurrentOrderSlot = 1;
std::size_t NodeCacheBytes = kDefaultNodeCacheBytes;

namespace {

constexpr std::uint8_t kAreas = 35;

std::array<NdxAreaState, kAreas + 1> Areas;

NdxBlockIo FileReader(const IndexDescriptor& d) {
  return [&d](std::uint32_t node, NdxBlock& block) { return ReadNdxBlock(d.file, node, block); };
}

NdxBlockIo FileWriter(const IndexDescriptor& d) {
  return [&d](std::uint32_t node, NdxBlock& block) { return WriteNdxBlock(d.file, node, block); };
}

void ReportCorrupted(const IndexDescriptor& d) {
  ReportError(254, "Index file corrupted. " + d.name);
}

}  // namespace

IndexDescriptor::~IndexDescriptor() {
  if (compiled != nullptr) FreeExpr(compiled);
}

NdxAreaState& IndexAreaOf(std::uint8_t area) {
  return Areas[std::min(area, kAreas)];
}

NdxAreaState& IndexArea() {
  return IndexAreaOf(CurrentArea());
}

NdxNodeCache* SlotCache(std::uint8_t slot) {
  return slot == 1 ? IndexArea().cache.get() : nullptr;
}

IndexDescriptor* IndexSlot(std::uint8_t n) {
  if (n < 1 || n > kIndexSlots) return nullptr;
  return IndexArea().descriptors[n].get();
}

void ResetIndexAreas() {
  for (NdxAreaState& area : Areas) area = NdxAreaState{};
}

bool ReadNode(IndexDescriptor& d, std::uint8_t slot, std::uint32_t n, NdxBlock& block) {
  if (n == 0) {
    ReportError(254, "Invalid Node Number (0) in DBF Area " + std::to_string(CurrentArea()) +
                         ", Order " + std::to_string(slot) + " " + d.name + " [GetNode]");
    return false;
  }
  int code = 0;
  NdxNodeCache* cache = SlotCache(slot);
  NdxBlock* cached = nullptr;
  if (cache != nullptr) {
    cached = cache->Find(n);
    if (cached == nullptr) cached = cache->Get(n, FileReader(d), FileWriter(d), code);
    if (cached != nullptr) {
      block = *cached;
      if (NdxNodeCache::KnownSound(*cached, d.anchor)) return true;
    }
  } else {
    code = ReadNdxBlock(d.file, n, block);
  }
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Error reading index file: " + d.name + " [SeekAndRead]");
    return false;
  }
  if (!NdxNodeIsSound(block, d.anchor)) {
    ReportCorrupted(d);
    return false;
  }
  if (cached != nullptr) NdxNodeCache::MarkSound(*cached, d.anchor);
  return true;
}

bool WriteNode(IndexDescriptor& d, std::uint8_t slot, std::uint32_t n, const NdxBlock& block) {
  NdxBlock clean = block;
  clean[2] = clean[3] = 0;
  if (const int code = WriteNdxBlock(d.file, n, clean); code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Error writing index file: " + d.name + " [SeekAndWrite]");
    return false;
  }
  if (NdxNodeCache* cache = SlotCache(slot); cache != nullptr) {
    cache->Replace(n, clean);
  }
  for (NdxPathLevel& level : d.path) {
    if (level.node == n) level.block = clean;
  }
  return true;
}

bool WriteAnchorNode(IndexDescriptor& d) {
  const WorkArea* area = Area();
  std::string dir, name, ext;
  if (area != nullptr) FSplit(area->fileName, dir, name, ext);
  const NdxBlock block = NdxAnchorBlock(
      d.anchor, d.expression, area != nullptr ? area->recCount : 0, name + ext, d.inChange);
  if (const int code = WriteNdxBlock(d.file, 0, block); code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Error writing index file:  " + d.name + " [WriteAnchorNode]");
    return false;
  }
  d.anchorChanged = false;
  return true;
}

namespace {

// A character key's text cut or padded with blanks to the length; OEM when the table is.
void FitCharacterKey(const IndexDescriptor& d, std::string text, std::vector<std::uint8_t>& key) {
  const WorkArea* area = Area();
  if (d.keyMaker == nullptr && area != nullptr && area->tableIsOem) text = StrToOem(text);
  key.assign(d.KeyLength(), ' ');
  std::memcpy(key.data(), text.data(), std::min(text.size(), key.size()));
}

std::string ExpressionText(const IndexDescriptor& d) {
  const void* value = EvalCompiled(d.compiled);
  if (value == nullptr) return {};
  const char* text = static_cast<const char*>(value);
  return std::string(text, strnlen(text, d.compiled->pool.size()));
}

std::string KeyMakerText(const IndexDescriptor& d, std::uint8_t order) {
  std::string text;
  d.keyMaker(d.userData, order, text);
  const WorkArea* area = Area();
  if (area != nullptr && area->tableIsOem) text = StrToOem(text);
  if (d.soundex) text = SoundexCode(text);
  return text;
}

void Complement(std::vector<std::uint8_t>& key) {
  for (std::uint8_t& byte : key) byte = static_cast<std::uint8_t>(byte ^ 0xFF);
}

}  // namespace

void BuildKey(IndexDescriptor& d, std::vector<std::uint8_t>& key) {
  if (d.keyMaker != nullptr) {
    const std::string text = KeyMakerText(d, d.order);
    key.assign(d.KeyLength(), ' ');
    std::memcpy(key.data(), text.data(), std::min(text.size(), key.size()));
    if (d.descending) Complement(key);
    return;
  }
  if (d.numeric) {
    const void* value = EvalCompiled(d.compiled);
    double number = 0;
    if (value != nullptr) std::memcpy(&number, value, sizeof number);
    key.assign(kNdxDoubleKeyLength, 0);
    StoreNdxDouble(number, key.data());
    return;
  }
  FitCharacterKey(d, ExpressionText(d), key);
}

std::string BlankRecordKeyText(IndexDescriptor& d) {
  WorkArea& area = *Area();
  const std::vector<std::uint8_t> raw = area.raw;
  const std::int32_t recNo = area.recNo;
  std::fill(area.raw.begin(), area.raw.end(), ' ');
  area.recNo = area.recCount + 1;
  LoadNativeRecord();
  std::string text = d.keyMaker != nullptr ? KeyMakerText(d, 0) : ExpressionText(d);
  area.raw = raw;
  area.recNo = recNo;
  LoadNativeRecord();
  return text;
}

std::string KeyAsText(const IndexDescriptor& d, const std::uint8_t* key) {
  if (!d.numeric) {
    return RTrim(std::string_view(reinterpret_cast<const char*>(key), d.KeyLength()));
  }
  const double value = LoadNdxDouble(key);
  if (d.compiled != nullptr && d.compiled->type == 'D') return JulianToDtoc(value);
  const int decimals = d.compiled != nullptr ? d.compiled->decimals : 0;
  const int width = d.compiled != nullptr ? d.compiled->width : 10;
  return FormatFieldReal(value, width, decimals);
}

bool IndexChanged() {
  if (!SemaphoreCounterMoved()) return false;
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    NdxBlock block{};
    if (ReadNdxBlock(d->file, 0, block) != 0) {
      ReportError(100, "Error reading index file:  " + d->name + " [ReadAnchorNodes]");
      return true;
    }
    d->anchor = NdxAnchorOf(block);
    // Only a program that ended during its change leaves a mark a read finds: a writer takes
    // its marks back before readers may begin again.
    if (!d->inChange && NdxChangeMarked(block)) {
      d->leftMarked = true;
      IndexArea().refusing = true;
    }
  }
  return true;
}

namespace {

// False after error 222 for an index of the area another program left marked.
bool IndexesWhole() {
  NdxAreaState& state = IndexArea();
  if (!state.refusing) return true;
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    const IndexDescriptor* d = IndexSlot(n);
    if (d != nullptr && d->leftMarked) {
      ReportError(222, MarkedIndexMessage(d->name) + " [ChangeCheck]");
      return false;
    }
  }
  // The marked index was closed.
  state.refusing = false;
  return true;
}

}  // namespace

bool ChangeCheck() {
  WorkArea* area = Area();
  // Nobody else can change the indexes of a table opened exclusively.
  if (area == nullptr || area->exclusive) return true;
  if (!IndexChanged()) return IndexesWhole();
  if (!IndexesWhole()) return false;
  RefreshRecCount();
  if (area->recNo < 1 || area->recNo > area->recCount) {
    GoToEndPosition();
    return true;
  }
  GetDbfRecord(*area, area->recNo);
  LoadNativeRecord();
  if (!IndexArea().naturalOrder) SoftSyncIndex();
  return true;
}

QuietErrors::QuietErrors() : previous_(SetReportErrors(false)) {}

QuietErrors::~QuietErrors() {
  if (!finished_) SetReportErrors(previous_);
}

void QuietErrors::Finish() {
  finished_ = true;
  SetReportErrors(previous_);
  if (LastErrorCode != 0 && ReportErrors) HandleDadavError();
}

}  // namespace dadav
