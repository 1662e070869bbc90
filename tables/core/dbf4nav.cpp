#include "tables/core/dbf4nav.h"

#include <string>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"

namespace dadav {
namespace {

// Reads record n into the raw buffer and the native record; false after a read error.
bool ReadAndLoad(std::int32_t n) {
  LastErrorCode = 0;
  GetDbfRecord(*Area(), n);
  if (LastErrorCode != 0) return false;
  LoadNativeRecord();
  return true;
}

std::string Quoted(const WorkArea& area) {
  return "\"" + area.fileName + "\"";
}

void ReportGoError(std::int32_t n) {
  ReportError(212, "Invalid record number = " + std::to_string(n) + " Database " + Quoted(*Area()) +
                       " [GO]");
}

void SaveKey(bool indexed) {
  if (indexed && IndexHooks.saveCurrentKey != nullptr) IndexHooks.saveCurrentKey();
}

void SyncIndex(bool indexed) {
  if (indexed && IndexHooks.syncIndex != nullptr) IndexHooks.syncIndex();
}

}  // namespace

bool RecordVisible() {
  WorkArea* area = Area();
  if (area == nullptr || !area->hideDeleted) return true;
  if (area->vfile.isVirtual) return area->native == nullptr || area->native[0] == 0;
  return area->raw.empty() || area->raw[0] != '*';
}

void GoPastEnd() {
  ClearRecord();
  WorkArea& area = *Area();
  area.recNo = area.recCount + 1;
  area.bof = area.eof = true;
}

void SetBOFFlag() {
  Area()->bof = true;
  if (Indexed() && IndexHooks.setIndexBof != nullptr) IndexHooks.setIndexBof();
}

void SetEOFFlag() {
  Area()->eof = true;
  if (Indexed() && IndexHooks.setIndexEof != nullptr) IndexHooks.setIndexEof();
}

void GoTop() {
  if (NoDbfInUse("GoTop")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (area.recCount < 1) return;
  const bool indexed = Indexed();
  IndexBracket bracket(indexed, IndexHooks.setReadSemaphore);
  std::int32_t r = indexed ? IndexHooks.firstKey() : 1;
  if (r == area.recCount + 1) {
    GoPastEnd();
    return;
  }
  if (!ReadAndLoad(r)) return;
  while (!RecordVisible() && !area.eof) {
    std::int32_t next = r + 1;
    if (indexed) {
      next = IndexHooks.nextKey();
      if (IndexHooks.indexEof()) next = area.recCount + 1;
    }
    if (next > area.recCount) {
      GoPastEnd();
      SyncIndex(indexed);
      break;
    }
    r = next;
    if (!ReadAndLoad(r)) return;
  }
  SaveKey(indexed);
}

void GoBottom() {
  if (NoDbfInUse("GoBottom")) return;
  LastErrorCode = 0;
  RefreshRecCount();
  WorkArea& area = *Area();
  if (area.recCount < 1) return;
  const bool indexed = Indexed();
  IndexBracket bracket(indexed, IndexHooks.setReadSemaphore);
  std::int32_t r = indexed ? IndexHooks.lastKey() : area.recCount;
  if (r == area.recCount + 1) {
    GoPastEnd();
    return;
  }
  if (!ReadAndLoad(r)) return;
  bool finished = false;
  while (!RecordVisible() && !finished) {
    std::int32_t candidate = indexed ? IndexHooks.priorKey() : r - 1;
    bool atBegin = indexed ? IndexHooks.indexBof() : area.bof;
    if (candidate >= 1 && !atBegin) {
      r = candidate;
      if (!ReadAndLoad(r)) return;
      finished = indexed ? IndexHooks.indexBof() : area.bof;
    } else {
      GoPastEnd();
      SyncIndex(indexed);
      SetBOFFlag();
      SetEOFFlag();
      finished = true;
    }
  }
  SaveKey(indexed);
}

void SKIP(std::int32_t count) {
  if (NoDbfInUse("SKIP()")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (count == 0) {
    if (area.recCount > 0 && !area.eof && area.recNo >= 1 && area.recNo <= area.recCount) {
      ReadAndLoad(area.recNo);
    } else {
      ClearRecord();
    }
    return;
  }
  if (count > 0 && area.eof) {
    ReportError(212, "Database " + Quoted(area) + " is past EOF. [SKIP]");
    return;
  }
  if (area.recCount < 1) RefreshRecCount();
  if (area.recCount < 1) {
    area.bof = area.eof = true;
    ReportError(212, "Database " + Quoted(area) + " is empty. [SKIP]");
    return;
  }
  if (count < 0 && dBOF()) return;
  area.bof = area.eof = false;
  const bool indexed = Indexed();
  bool atEnd = false;
  {
    IndexBracket bracket(indexed, IndexHooks.setReadSemaphore);
    std::int32_t moved = 0;
    while (moved != count && !atEnd) {
      std::int32_t candidate;
      if (count < 0) {
        if (indexed) {
          candidate = IndexHooks.priorKey();
          atEnd = candidate == area.recNo;
        } else {
          candidate = area.recNo > 1 ? area.recNo - 1 : 1;
          atEnd = area.recNo <= 1;
        }
      } else if (indexed) {
        candidate = IndexHooks.nextKey();
        atEnd = candidate == area.recNo;
      } else {
        candidate = area.recNo + 1;
        // A shared file only grows (packing takes it exclusive), so its size is asked for only
        // once the scan passes the records known.
        if (candidate > area.recCount) RefreshRecCount();
        if (candidate > area.recCount) {
          candidate = area.recCount;
          atEnd = true;
        }
      }
      if (!ReadAndLoad(candidate)) return;
      if (RecordVisible()) moved += count < 0 ? -1 : 1;
    }
  }
  if (atEnd) {
    if (count > 0) {
      area.recNo = area.recCount + 1;
      area.eof = true;
      ClearRecord();
      SyncIndex(indexed);
    } else {
      GoTop();
      SetBOFFlag();
      if (area.eof) ClearRecord();
    }
  }
  SaveKey(indexed);
}

void GO(std::int32_t n) {
  if (NoDbfInUse("GO()")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (n > area.recCount) RefreshRecCount();
  if (area.recCount < 1) {
    area.bof = area.eof = true;
    ClearRecord();
    ReportGoError(n);
    return;
  }
  if (n < 1 || n > area.recCount) {
    area.recNo = area.recCount + 1;
    area.eof = true;
    ReportGoError(n);
    return;
  }
  area.bof = area.eof = false;
  const bool indexed = Indexed();
  IndexBracket bracket(indexed, IndexHooks.setReadSemaphore);
  if (!ReadAndLoad(n)) return;
  SyncIndex(indexed);
  SaveKey(indexed);
}

void Dbf4RawGo(std::int32_t n) {
  if (NoDbfInUse("Dbf4RawGo")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (n > area.recCount) {
    area.recNo = area.recCount + 1;
    area.eof = true;
    ClearRecord();
    return;
  }
  if (n <= 0) {
    ReportError(212, "Invalid record number = " + std::to_string(n) + " [Dbf4RawGo]");
    return;
  }
  bool reporting = SetReportErrors(false);
  bool ok = ReadAndLoad(n);
  SetReportErrors(reporting);
  if (!ok) ReportError(LastErrorCode, LastErrorMessage + " [Dbf4RawGo]");
}

void RawGo(std::int32_t n) {
  Dbf4RawGo(n);
}

bool dEOF() {
  if (Area() == nullptr) {
    NoDbfInUse("dEOF");
    return true;
  }
  WorkArea& area = *Area();
  RefreshRecCount();
  if (area.recNo > area.recCount) area.eof = true;
  if (Indexed() && IndexHooks.indexEof != nullptr) return IndexHooks.indexEof();
  return area.eof;
}

bool dBOF() {
  if (Area() == nullptr) {
    NoDbfInUse("dBOF");
    return true;
  }
  if (Indexed() && IndexHooks.indexBof != nullptr) return IndexHooks.indexBof();
  return Area()->bof;
}

void FirstRecord() {
  if (RecCount() > 0) GoTop();
}

void LastRecord() {
  if (RecCount() > 0) GoBottom();
}

bool GoIfValid(std::int32_t n) {
  if (n < 1 || n > RecCount()) return false;
  GO(n);
  return true;
}

bool SkipToVisible() {
  if (RecordVisible()) return false;
  std::int32_t old = RecNo();
  Unlock();
  SKIP(1);
  if (dEOF()) {
    GoIfValid(old);
    SKIP(-1);
  }
  return true;
}

}  // namespace dadav
