#pragma once
// The record list of a virtual file: doubly linked nodes, each owning a copy of one record
// buffer, with the walk to a record number from the nearest known node.

#include <cstdint>
#include <string>

#include "tables/core/workarea.h"

namespace dadav {

struct VFileNode {
  VFileNode* prev = nullptr;
  VFileNode* next = nullptr;
  std::uint16_t size = 0;
  std::uint8_t* data = nullptr;
};

// Builds the sort key of the record now in the work area's record buffer.
using KeyMaker = void (*)(void* userData, std::string& key);

// The module's part of a virtual-file area; count, current number and the end flags live in the
// work area itself.
struct VFileList {
  VFileNode* head = nullptr;
  VFileNode* tail = nullptr;
  VFileNode* current = nullptr;
  std::int32_t currentNo = 0;  // position of current, 0 when none
  KeyMaker keyMaker = nullptr;
  void* userData = nullptr;

  VFileList() = default;
  VFileList(const VFileList&) = delete;
  VFileList& operator=(const VFileList&) = delete;
  ~VFileList();
};

// Test seam: while set, an allocation of the module fails whenever it returns true.
extern bool (*VFileAllocationRefused)();

// True when the seam refuses the next allocation.
bool VFileAllocationFails();
// nullptr when memory is short (or the seam refuses).
VFileNode* NewNode();
std::uint8_t* NewData(std::uint16_t size);
void FreeNode(VFileNode* node);

VFileList& ListOf(WorkArea& area);

// Bytes the record buffer holds: the record length, or the leading length word + 2.
std::uint16_t BufferRecordSize(const WorkArea& area);
// Offset of the deletion byte in a record.
std::size_t DeletionByteOffset(const WorkArea& area);
// The deletion byte of a stored record; a variable-length record of length 0 has none.
bool NodeDeleted(const WorkArea& area, const VFileNode& node);

// Moves current to record n (1..count) from the nearest of head, tail and current.
void SeekNode(WorkArea& area, std::int32_t n);
void LoadBuffer(WorkArea& area, const VFileNode& node);

// Links node after record `position` (`after`; 0 and nullptr: before the head), counts it and
// makes it current.
void LinkAfter(WorkArea& area, VFileNode* after, std::int32_t position, VFileNode* node);
// Unlinks node without freeing it; current is forgotten when it was that node.
void Unlink(WorkArea& area, VFileNode* node);
// Removes the current record: the record after it (or the new tail) becomes current.
void RemoveCurrent(WorkArea& area);
void FreeAll(WorkArea& area);

}  // namespace dadav
