#include "tables/modules/vfile/vfile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tztext.h"
#include "tables/modules/vfile/vfilelist.h"
#include "tables/modules/vfile/vfilesort.h"

namespace dadav {
namespace {

constexpr std::uint8_t kLastMode = 4;

bool Hidden(const WorkArea& area, const VFileNode& node) {
  return area.hideDeleted && NodeDeleted(area, node);
}

// Insertion mode links before the current record: after the visible record before it.
void LinkBeforeCurrent(WorkArea& area, VFileNode* node) {
  std::int32_t after = std::min(area.recNo, area.recCount + 1) - 1;
  VFileNode* afterNode = nullptr;
  for (; after >= 1; --after) {
    SeekNode(area, after);
    afterNode = ListOf(area).current;
    if (!Hidden(area, *afterNode)) break;
  }
  LinkAfter(area, after >= 1 ? afterNode : nullptr, std::max(after, 0), node);
}

void ReportNoData(const WorkArea& area) {
  ReportError(217, "Not enough HEAP memory to add new record to " + area.alias + " [VFiles]");
}

void ReadRecord(WorkArea& area, std::int32_t n) {
  if (n < 1 || n > area.recCount) {
    ReportError(212, "Attempted to position to record number " + std::to_string(n) +
                         "  Database record count is " + std::to_string(area.recCount) +
                         area.alias + " [VFiles]");
    return;
  }
  SeekNode(area, n);
  LoadBuffer(area, *ListOf(area).current);
}

void MarkDeleted(WorkArea& area, std::int32_t n, std::uint8_t flag) {
  if (n < 1 || n > area.recCount) return;
  SeekNode(area, n);
  VFileNode& node = *ListOf(area).current;
  const std::size_t at = DeletionByteOffset(area);
  if (at >= node.size) return;
  node.data[at] = flag;
  area.native[at] = flag;
}

void Pack(WorkArea& area) {
  VFileList& list = ListOf(area);
  for (VFileNode* node = list.head; node != nullptr;) {
    VFileNode* next = node->next;
    if (NodeDeleted(area, *node)) {
      Unlink(area, node);
      FreeNode(node);
    }
    node = next;
  }
  if (area.recCount == 0) {
    area.recNo = 0;
    area.bof = area.eof = true;
    return;
  }
  // The buffer shows record 1, so a following write cannot put back a removed record.
  SeekNode(area, 1);
  LoadBuffer(area, *list.current);
  area.bof = area.eof = false;
}

void Pop(WorkArea& area) {
  if (area.recCount < 1) {
    ReportError(1100, "Virtual file empty - no more records to POP from " + area.alias +
                          " [(PopRec) VFiles]");
    return;
  }
  if (area.vfile.listMode == 2) {
    ReportError(1100,
                "Cannot POP a record in INSERTION mode from " + area.alias + " [(PopRec) VFiles]");
    return;
  }
  SeekNode(area, 1);
  LoadBuffer(area, *ListOf(area).current);
  RemoveCurrent(area);
}

void RemoveRecord(WorkArea& area) {
  if (area.recNo < 1 || area.recNo > area.recCount) return;
  SeekNode(area, area.recNo);
  RemoveCurrent(area);
}

// Overwrites record n in place; a record of another length gets new data first.
void RewriteInPlace(WorkArea& area, VFileNode& node) {
  const std::uint16_t size = BufferRecordSize(area);
  if (size != node.size) {
    std::uint8_t* data = NewData(size);
    if (data == nullptr) {
      ReportNoData(area);
      return;
    }
    delete[] node.data;
    node.data = data;
    node.size = size;
  }
  std::memcpy(node.data, area.native, size);
}

// A sorted file moves the rewritten record to its key's place; on any failure it stays where
// it was with its old data.
void RewriteSorted(WorkArea& area, VFileNode& node, std::int32_t n) {
  const std::uint16_t size = BufferRecordSize(area);
  std::uint8_t* data = NewData(size);
  if (data == nullptr) {
    ReportNoData(area);
    return;
  }
  std::memcpy(data, area.native, size);
  std::uint8_t* oldData = node.data;
  const std::uint16_t oldSize = node.size;
  VFileNode* prev = node.prev;
  Unlink(area, &node);
  node.data = data;
  node.size = size;
  if (InsertSorted(area, node, n)) {
    delete[] oldData;
    return;
  }
  node.data = oldData;
  node.size = oldSize;
  delete[] data;
  LinkAfter(area, prev, n - 1, &node);
  RaiseKeptError();
}

void WriteRecord(WorkArea& area, std::int32_t n) {
  if (n > area.recCount) {
    AddLL(area);
    return;
  }
  if (n < 1) return;
  SeekNode(area, n);
  VFileNode& node = *ListOf(area).current;
  const std::uint8_t mode = area.vfile.listMode;
  if (mode == 3 || mode == 4)
    RewriteSorted(area, node, n);
  else
    RewriteInPlace(area, node);
}

void ClearStructure(WorkArea& area) {
  area.fields.clear();
  area.fieldCount = 0;
}

bool CheckField(const WorkArea& area, FieldDescriptor& f) {
  f.name = UpperStr(AllTrim(f.name)).substr(0, 10);
  f.type = static_cast<char>(UpperStr(std::string(1, f.type))[0]);
  f.memoReference = false;
  switch (f.type) {
    case 'C':
    case 'F':
    case 'N':
      if (f.length != 0) return true;
      ReportError(211, "Invalid length, field name: \"" + f.name +
                           "\" in VFile field list. Alias= " + area.alias + " [AddStru]");
      return false;
    case 'D':
      f.length = 8;
      return true;
    case 'L':
      f.length = 1;
      return true;
    case 'M':
      f.type = 'N';
      f.length = 10;
      f.decimals = 0;
      f.memoReference = true;
      return true;
    default:
      ReportError(211, "Invalid type \"" + std::string(1, f.type) +
                           "\" in VFile field list. Alias= " + area.alias + " [AddStru]");
      return false;
  }
}

// The field routines find a field in the caller's buffer by the structure alone, so a record
// longer than that buffer would take them past its end. A file of records of their own length
// was opened with no buffer size, so no structure fits it.
bool FitsBuffer(const WorkArea& area, std::uint16_t recordSize) {
  if (recordSize <= area.nativeSize) return true;
  ReportError(266, "Database record/buffer size mismatch: " + area.alias +
                       " [AddStru]\n\rRecord Size=" + std::to_string(recordSize) +
                       ", Buffer Size=" + std::to_string(area.nativeSize));
  return false;
}

}  // namespace

void VFileStart() {
  VFileHook = &ServeVFileRequest;
}

WorkArea* VirtualArea(const char* tag) {
  if (NoDbfInUse(tag)) return nullptr;
  WorkArea* area = Area();
  if (area->vfile.isVirtual) return area;
  ReportError(1100, area->alias + " is not a virtual file. [" + tag + "]");
  return nullptr;
}

bool AddLL(WorkArea& area) {
  const std::uint8_t mode = area.vfile.listMode;
  if (mode > kLastMode) {
    ReportError(1100, std::to_string(mode) + " is an invalid VFile mode set for " + area.alias +
                          " [(AddLL) VFiles INTERNAL ERROR]");
    return false;
  }
  VFileNode* node = NewNode();
  if (node == nullptr) {
    ReportError(217, "Not enough HEAP to setup pointers.  Cannot add new record to " + area.alias +
                         " [VFiles]");
    return false;
  }
  const std::uint16_t size = BufferRecordSize(area);
  node->data = NewData(size);
  if (node->data == nullptr) {
    delete node;
    ReportNoData(area);
    return false;
  }
  node->size = size;
  std::memcpy(node->data, area.native, size);
  VFileList& list = ListOf(area);
  if (area.recCount == 0) {
    LinkAfter(area, nullptr, 0, node);
    return true;
  }
  switch (mode) {
    case 0:
      LinkAfter(area, list.tail, area.recCount, node);
      return true;
    case 1:
      LinkAfter(area, nullptr, 0, node);
      return true;
    case 2:
      LinkBeforeCurrent(area, node);
      return true;
    default:
      if (InsertSorted(area, *node, 0)) return true;
      FreeNode(node);
      RaiseKeptError();
      return false;
  }
}

void ServeVFileRequest(WorkArea& area) {
  const std::int32_t n = area.vfile.recordNumber;
  switch (area.vfile.operation) {
    case 1:
      FreeAll(area);
      ClearStructure(area);
      break;
    case 2:
      MarkDeleted(area, n, 1);
      break;
    case 3:
      ReadRecord(area, n);
      break;
    case 4:
    case 12:
      FreeAll(area);
      break;
    case 5:
      Pack(area);
      break;
    case 6:
      Pop(area);
      break;
    case 7:
      if (AddLL(area)) area.eof = false;
      break;
    case 8:
      WriteRecord(area, n);
      break;
    case 9:
      MarkDeleted(area, n, 0);
      break;
    case 10:
      RemoveRecord(area);
      break;
    default:
      break;
  }
}

void AddStru(const std::vector<FieldDescriptor>& fields) {
  WorkArea* area = VirtualArea("AddStru");
  if (area == nullptr) return;
  try {
    std::vector<FieldDescriptor> checked(
        fields.begin(), fields.begin() + std::min<std::size_t>(fields.size(), 255));
    std::uint16_t offset = 1;
    for (FieldDescriptor& f : checked) {
      if (!CheckField(*area, f)) return;
      f.offset = offset;
      offset = static_cast<std::uint16_t>(offset + NativeFieldSize(f));
    }
    if (!FitsBuffer(*area, offset)) return;
    area->fields = std::move(checked);
    area->fieldCount = static_cast<std::uint8_t>(area->fields.size());
  } catch (const std::bad_alloc&) {
    ReportError(217, "Not enough memory to create new structure for" + area->alias + " [AddStru]");
  }
}

void SnipRec() {
  WorkArea* area = VirtualArea("SnipRec");
  if (area != nullptr) RemoveRecord(*area);
}

}  // namespace dadav
