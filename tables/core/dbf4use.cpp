#include "tables/core/dbf4use.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/files/fileresolve.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4packcommit.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tztext.h"

namespace dadav {

bool TableLanguageOem = true;

namespace {

bool lastReopenExclusive = false;

std::string UseTag(const std::string& command, const std::string& size) {
  return "[USE(" + command + ",<@Buffer>," + size + ")]";
}

// Cuts " ALIAS name" (any case) out of text; returns the upper-cased alias, or empty.
std::string TakeAlias(std::string& text) {
  std::size_t at = UpperStr(text).find(" ALIAS ");
  if (at == std::string::npos) return {};
  std::string rest = LTrim(text.substr(at + 7));
  std::string alias = rest.substr(0, rest.find(' '));
  if (alias.size() > 64) alias.resize(64);
  text = AllTrim(text.substr(0, at));
  return UpperStr(alias);
}

bool AliasInUse(const std::string& alias, std::uint8_t except) {
  for (std::uint8_t n = 1; n <= kUserAreas; ++n) {
    if (n != except && WorkAreaTable[n] && WorkAreaTable[n]->alias == alias) return true;
  }
  return false;
}

std::string AliasReport(const std::string& alias) {
  return "Alias name \"" + alias + "\" already in use. [USE]";
}

// Frees the area's slot however the close ends.
class SlotRelease {
 public:
  explicit SlotRelease(std::uint8_t slot) : slot_(slot) {}
  ~SlotRelease() { WorkAreaTable[slot_].reset(); }
  SlotRelease(const SlotRelease&) = delete;
  SlotRelease& operator=(const SlotRelease&) = delete;

 private:
  std::uint8_t slot_;
};

std::uint8_t StorageKind(std::string& text) {
  static constexpr std::pair<const char*, std::uint8_t> kKinds[] = {
      {" TO HEAP", 1}, {" TO EMS", 2}, {" TO EXT", 3}, {" TO XMS", 3}, {" TO BIGGEST", 5}};
  std::uint8_t kind = 1;
  for (const auto& [word, value] : kKinds) {
    if (ExtractOption(word, text)) kind = value;
  }
  return kind;
}

std::uint8_t ListMode(const std::string& upper) {
  static constexpr std::pair<const char*, std::uint8_t> kModes[] = {
      {" FIFO", 0}, {" LIFO", 1}, {" INSERTION", 2}, {" ASCENDING", 3}, {" DESCENDING", 4}};
  for (const auto& [word, value] : kModes) {
    if (upper.find(word) != std::string::npos) return value;
  }
  return 0;
}

void RemoveWord(std::string& upper, const std::string& word) {
  for (std::size_t at = upper.find(word); at != std::string::npos; at = upper.find(word)) {
    upper.erase(at, word.size());
  }
}

struct ErrorNote {
  std::uint16_t code = 0;
  std::string message;
};

// An exclusive table's records and header reach the disk before its indexes' marks go at its
// close, so that after a power cut an unmarked index never names records the table lost. Where
// they could not, the marks stay. A header that could not be written is written and reported
// again as the table closes; the error of a sync that failed is returned, to be reported then.
ErrorNote CommitBeforeIndexes(WorkArea& area) {
  if (!area.exclusive || area.vfile.isVirtual) return {};
  const bool reporting = SetReportErrors(false);
  LastErrorCode = 0;
  CommitDbf(area);
  SetReportErrors(reporting);
  if (LastErrorCode == 0) return {};
  if (IndexHooks.keepIndexMarks != nullptr) IndexHooks.keepIndexMarks();
  if (area.state != kOpen) return {};
  return {LastErrorCode, LastErrorMessage};
}

void InstallOpenedArea(std::unique_ptr<WorkArea> area, const std::string& command) {
  const std::uint8_t slot = CurrentArea();
  WorkAreaTable[slot] = std::move(area);
  WorkArea& installed = *WorkAreaTable[slot];
  if (installed.recCount < 1) {
    std::memset(installed.native, 0, installed.nativeSize);
    ClearRecord();
    installed.bof = installed.eof = true;
  } else {
    GoTop();
  }
  installed.swap.assign(installed.nativeSize, 0);
  if (installed.hasMemo && MemoHooks.openMemofile != nullptr) {
    std::string dir, name, ext;
    FSplit(installed.fileName, dir, name, ext);
    bool reporting = SetReportErrors(false);
    LastErrorCode = 0;
    MemoHooks.openMemofile(dir + name);
    SetReportErrors(reporting);
    if (LastErrorCode != 0) {
      std::uint16_t code = LastErrorCode;
      std::string tag = UseTag(command, std::to_string(installed.nativeSize));
      CloseArea();
      ReportError(code, "Problem opening memo file " + tag);
    }
  }
}

void OpenTable(std::string command, std::uint8_t* buffer, std::uint16_t size) {
  const std::string original = command;
  bool exclusive = ExtractOption(" EXCLUSIVE", command);
  std::string alias = TakeAlias(command);
  std::string fileName = AddDefaultExt(AllTrim(command), "DBF");
  fileName = platform::ResolveFileName(FExpand(fileName));
  if (alias.empty()) {
    std::string dir, name, ext;
    FSplit(fileName, dir, name, ext);
    alias = UpperStr(name);
  }
  auto area = std::make_unique<WorkArea>();
  area->fileName = fileName;
  area->openMode = exclusive ? platform::kModeExclusive : ShareMode;
  if (ForcedOpenMode < 65535) area->openMode = ForcedOpenMode & 0xFF;
  area->tableIsOem = TableLanguageOem;
  if (!SettleInterruptedPack(fileName)) return;
  OpenDbf(*area);
  if (LastErrorCode != 0) return;
  area->alias = alias;
  area->exclusive = exclusive;
  area->nativeSize = NativeSizeOf(*area);
  area->nativeOffsets = NativeOffsetsOf(*area);
  if (buffer == nullptr) {
    area->ownedNative.assign(area->nativeSize, 0);
    area->native = area->ownedNative.data();
    area->nativeOwned = true;
  } else if (size != area->nativeSize) {
    std::uint16_t needed = area->nativeSize;
    CloseDbf(*area);
    ReportError(266, "Database record/buffer size mismatch: " + original +
                         " [USE()]\n\rRecord Size=" + std::to_string(needed) +
                         ", Buffer Size=" + std::to_string(size));
    return;
  } else {
    area->native = buffer;
  }
  if (AliasInUse(alias, CurrentArea())) {
    CloseDbf(*area);
    ReportError(220, AliasReport(alias));
    return;
  }
  InstallOpenedArea(std::move(area), original);
}

}  // namespace

void USE(const std::string& command, std::uint8_t* buffer, std::uint16_t size) {
  LastErrorCode = 0;
  CloseArea();
  std::string text = AllTrim(command);
  if (text.empty()) return;
  std::string upper = UpperStr(text);
  if (upper.find("LINKED LIST") != std::string::npos ||
      upper.find("VIRTUAL FILE") != std::string::npos) {
    UseVirtualFile(text, buffer, size);
    return;
  }
  if ((buffer == nullptr && size != 0) || (buffer != nullptr && size == 0)) {
    ReportError(220, "Buffer is NIL or size is zero, attempting to open " + text + " [USE]");
    return;
  }
  try {
    OpenTable(text, buffer, size);
  } catch (const std::bad_alloc&) {
    WorkAreaTable[CurrentArea()].reset();
    ReportError(217, "Insufficient memory " + UseTag(text, std::to_string(size)));
  }
}

void UseVirtualFile(const std::string& command, std::uint8_t* buffer, std::uint16_t size) {
  if (VFileHook == nullptr) {
    ReportError(1101, "[USE(" + command + ",<@Buffer>,<size>)]");
    return;
  }
  if (buffer == nullptr) {
    ReportError(220, "NIL buffer pointer [USE(" + command + ",Nil,<size>)]");
    return;
  }
  std::string upper = UpperStr(command);
  RemoveWord(upper, "LINKED LIST");
  RemoveWord(upper, "VIRTUAL FILE");
  std::string withoutAlias = upper;
  std::string alias = TakeAlias(withoutAlias);
  // The name it is opened with, the first word, is the name APPEND FROM finds it by.
  const std::string trimmed = AllTrim(withoutAlias);
  const std::string name = trimmed.substr(0, trimmed.find(' '));
  if (alias.empty()) alias = name.substr(0, name.find('.'));
  if (AliasInUse(alias, CurrentArea())) {
    ReportError(220, AliasReport(alias));
    return;
  }
  auto area = std::make_unique<WorkArea>();
  area->fileName = name;
  area->alias = alias;
  area->vfile.isVirtual = true;
  area->recordLength = size;
  area->bof = area->eof = true;
  area->native = buffer;
  area->nativeSize = size;
  area->exclusive = true;
  area->state = kOpen;
  area->vfile.storageKind = StorageKind(upper);
  area->vfile.listMode = ListMode(upper);
  WorkAreaTable[CurrentArea()] = std::move(area);
  VFileRequest(*Area(), 4);
}

void CloseArea() {
  WorkArea* area = Area();
  if (area == nullptr) return;
  SlotRelease release(CurrentArea());
  ErrorNote unsynced;
  if (Indexed() && IndexHooks.closeIndexes != nullptr) {
    unsynced = CommitBeforeIndexes(*area);
    IndexHooks.closeIndexes();
  }
  RefreshRecCount();
  Unlock();
  area->swap.clear();
  if (area->hasMemo && MemoHooks.closeMemofile != nullptr) MemoHooks.closeMemofile();
  CloseDbf(*area);
  if (unsynced.code != 0) ReportError(unsynced.code, unsynced.message);
}

void CloseAll() {
  LastErrorCode = 0;
  for (std::uint8_t n = 1; n <= kUserAreas; ++n) {
    CurrentAreaNumber = n;
    CloseArea();
  }
  CurrentAreaNumber = 1;
}

int ReopenDbf(bool exclusive) {
  WorkArea* area = Area();
  if (area == nullptr) return 6;
  if (area->exclusive && !lastReopenExclusive) return 5;
  Unlock();
  RefreshRecCount();
  int code = area->file.ConvertShare(exclusive);
  if (code == 0) {
    lastReopenExclusive = exclusive;
    area->exclusive = exclusive;
    if (exclusive)
      area->openMode = platform::kModeExclusive;
    else
      area->openMode = ShareMode;
  }
  // Indexes opened while the table was this program's alone are given back with it.
  if (code == 0 && !exclusive && Indexed() && IndexHooks.shareIndexes != nullptr)
    code = IndexHooks.shareIndexes();
  return code;
}

void ResetWorkAreas() {
  ShareMode = platform::kModeShared;
  for (auto& slot : WorkAreaTable) slot.reset();
  MemoHooks = MemoHookTable{};
  CurrentAreaNumber = 1;
  EngineStarted = true;
}

void EngineExit() {
  if (!EngineStarted) return;
  for (std::uint8_t n : {std::uint8_t{34}, std::uint8_t{35}}) {
    CurrentAreaNumber = n;
    CloseArea();
  }
  CloseAll();
}

}  // namespace dadav
