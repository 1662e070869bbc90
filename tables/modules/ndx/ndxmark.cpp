#include "tables/modules/ndx/ndxmark.h"

#include <array>
#include <cstring>

#include "tables/core/dbf4area.h"
#include "tables/core/tzerror.h"
#include "tables/modules/ndx/ndxsemaphore.h"

namespace dadav {
namespace {

using MarkBytes = std::array<std::uint8_t, kNdxChangeMark.size()>;

MarkBytes MarkOf(bool on) {
  MarkBytes bytes{};
  if (on) std::memcpy(bytes.data(), kNdxChangeMark.data(), bytes.size());
  return bytes;
}

void ReportWriteError(const IndexDescriptor& d, int code) {
  ReportError(static_cast<std::uint16_t>(code),
              "Error writing index file: " + d.name + " [ChangeMark]");
}

// Whether the file carries the mark; false with the error reported when it cannot be read.
bool FileMarked(const IndexDescriptor& d, bool& marked) {
  MarkBytes bytes{};
  std::size_t done = 0;
  const int code = d.file.ReadAt(kNdxChangeMarkOffset, bytes.data(), bytes.size(), done);
  if (code != 0 || done != bytes.size()) {
    ReportError(static_cast<std::uint16_t>(code != 0 ? code : 100),
                "Error reading index file: " + d.name + " [ChangeMark]");
    return false;
  }
  marked = bytes == MarkOf(true);
  return true;
}

// Shared table, under the write lock: an index marked now was left so by a program that ended
// during a change, since nobody else can be changing it.
void MarkShared() {
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr || d->inChange) continue;
    bool marked = false;
    if (!FileMarked(*d, marked)) return;
    if (marked) {
      ReportError(222, MarkedIndexMessage(d->name) + " [WriteLock]");
      return;
    }
    if (!WriteChangeMark(*d, true, false)) return;
  }
}

}  // namespace

bool WriteChangeMark(IndexDescriptor& d, bool on, bool flush) {
  const MarkBytes bytes = MarkOf(on);
  std::size_t done = 0;
  int code = d.file.WriteAt(kNdxChangeMarkOffset, bytes.data(), bytes.size(), done);
  if (code == 0 && done != bytes.size()) code = 101;
  // Known as soon as it is written: a mark whose sync fails is on the file all the same, and
  // only a mark this program knows of is cleared again.
  if (code == 0) d.inChange = on;
  if (code == 0 && flush) code = d.file.Sync();
  if (code != 0) {
    ReportWriteError(d, code);
    return false;
  }
  return true;
}

void MarkIndexesChanging() {
  if (Area() == nullptr) return;
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d != nullptr && !d->inChange && !WriteChangeMark(*d, true, true)) return;
  }
}

void SetChangeBracket(bool on) {
  WorkArea* area = Area();
  if (area == nullptr) return;
  std::int32_t& nesting = IndexArea().changeNesting;
  if (on) {
    SetLockSemaphoreProc(true);
    if (++nesting != 1 || LastErrorCode != 0) return;
    if (area->exclusive) {
      MarkIndexesChanging();
    } else {
      MarkShared();
    }
    return;
  }
  if (nesting > 0 && --nesting == 0 && !area->exclusive) ClearIndexMarks();
  SetLockSemaphoreProc(false);
}

void ClearIndexMarks() {
  if (Area() == nullptr) return;
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d != nullptr && d->inChange && !d->keepMark) WriteChangeMark(*d, false, false);
  }
}

void KeepIndexMarks() {
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    if (IndexDescriptor* d = IndexSlot(n); d != nullptr) d->keepMark = true;
  }
}

bool ClearChangeMarkAtClose(IndexDescriptor& d) {
  if (!d.inChange || d.keepMark) return true;
  // The nodes reach the disk before the mark that vouches for them goes.
  if (const int code = d.file.Sync(); code != 0) {
    ReportWriteError(d, code);
    return false;
  }
  if (d.anchorChanged) {
    d.inChange = false;
    return true;
  }
  return WriteChangeMark(d, false, false);
}

std::string MarkedIndexMessage(const std::string& name) {
  return "Index " + name +
         " was left half changed by a program that ended during a change: it must be rebuilt "
         "(REINDEX). The rebuild needs the table closed in every other program.";
}

}  // namespace dadav
