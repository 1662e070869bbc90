#pragma once
// The tables through which the core reaches its optional modules (expressions, indexes, memo
// and virtual files). Each module fills its table from its registration; an empty slot means
// the module is absent.

#include <cstdint>
#include <memory>
#include <string>

#include "tables/core/workarea.h"

namespace dadav {

struct CompiledExpr;

struct ParserHookTable {
  CompiledExpr* (*compileExpr)(std::string& expression) = nullptr;
  void (*freeExpr)(CompiledExpr*& handle) = nullptr;
  const void* (*evalExpr)(CompiledExpr*& handle) = nullptr;
  std::string (*exprText)(CompiledExpr*& handle) = nullptr;
};

struct IndexHookTable {
  bool (*indexActive)() = nullptr;
  void (*syncIndex)() = nullptr;
  std::int32_t (*nextKey)() = nullptr;
  std::int32_t (*priorKey)() = nullptr;
  std::int32_t (*firstKey)() = nullptr;
  std::int32_t (*lastKey)() = nullptr;
  bool (*indexEof)() = nullptr;
  bool (*indexBof)() = nullptr;
  void (*appendNewKey)() = nullptr;
  void (*saveCurrentKey)() = nullptr;
  void (*syncAndSaveKeys)() = nullptr;
  void (*compareKeys)() = nullptr;
  void (*setIndexBof)() = nullptr;
  void (*setIndexEof)() = nullptr;
  bool* foundFlag = nullptr;
  void (*reindex)() = nullptr;
  void (*closeIndexes)() = nullptr;
  void* reserved17 = nullptr;
  // Services the index module offers other modules; the core never calls them, so their
  // signatures belong to the module.
  void* getIndexFileName = nullptr;
  void* getKeyProc = nullptr;
  void* getOrderKeyProc = nullptr;
  void* indexAscending = nullptr;
  void* indexSoundex = nullptr;
  void (*setReadSemaphore)(bool on) = nullptr;
  void (*setLockSemaphore)(bool on) = nullptr;
  // Marks every open index of the current area as in change, written and flushed, until the
  // area's indexes are closed: an index a crash leaves after this is never trusted.
  void (*markIndexesChanging)() = nullptr;
  // Takes back the marks of the area's indexes that still match their table: the change they
  // were set for never began.
  void (*clearIndexMarks)() = nullptr;
  // The area's indexes no longer match their table: their marks stay until they are rebuilt.
  void (*keepIndexMarks)() = nullptr;
  // Gives the area's indexes back to shared use, as the table was given back: 0 or the I/O code.
  int (*shareIndexes)() = nullptr;
};

// Reads a memo's text line by line.
class MemoLineReader {
 public:
  virtual ~MemoLineReader() = default;
  virtual bool ReadLine(std::string& line) = 0;
};

struct MemoHookTable {
  std::unique_ptr<MemoLineReader> (*assignMemo)(std::int32_t block) = nullptr;
  // PACK: copies the memos that the records of newTable (records of them, the kept ones) refer
  // to into a new memo file beside the memo file (CreatePackedFile), writes their new references
  // into newTable and names the memo file it is to replace and the new one; false after a
  // reported error, with the new memo file gone.
  bool (*packMemofile)(const platform::BlockFile& newTable, std::int32_t records,
                       std::string& memoName, std::string& newMemoName) = nullptr;
  void (*openMemofile)(const std::string& tableNameWithoutExt) = nullptr;
  void (*closeMemofile)() = nullptr;
  std::int32_t (*copyMemoAsOld)(std::uint8_t sourceArea, std::int32_t reference) = nullptr;
  std::int32_t (*copyMemoAsNew)(std::uint8_t sourceArea, std::int32_t reference) = nullptr;
  void (*reopenMemofile)() = nullptr;
  std::int32_t (*addMemo)(const std::string& text) = nullptr;
};

using VFileRequestProc = void (*)(WorkArea& area);
using EvalCurrentExprProc = const void* (*)();

extern ParserHookTable ParserHooks;
extern bool ParserPresent;
extern EvalCurrentExprProc EvalCurrentExprHook;
extern IndexHookTable IndexHooks;
extern bool IndexPresent;
extern MemoHookTable MemoHooks;
extern VFileRequestProc VFileHook;

void ClearHookTables();

// True when the index module is present and controls the current area. Asked on every move,
// so it is inline.
inline bool Indexed() {
  return IndexPresent && IndexHooks.indexActive != nullptr && IndexHooks.indexActive();
}

// Issues one request to the virtual-file module for the area.
void VFileRequest(WorkArea& area, std::uint16_t operation, std::int32_t recordNumber = 0);

// Holds an index read or write bracket for its lifetime, so every way out releases it. A start
// that raises an engine error is closed at once: the bracket's nesting count was raised before
// the error, and a count left raised would keep every later bracket of the area from taking
// its locks.
class IndexBracket {
 public:
  IndexBracket(bool active, void (*proc)(bool)) : proc_(active ? proc : nullptr) {
    if (proc_ == nullptr) return;
    try {
      proc_(true);
    } catch (...) {
      proc_(false);
      throw;
    }
  }
  ~IndexBracket() {
    if (proc_ != nullptr) proc_(false);
  }
  IndexBracket(const IndexBracket&) = delete;
  IndexBracket& operator=(const IndexBracket&) = delete;

 private:
  void (*proc_)(bool);
};

}  // namespace dadav
