#include "tables/modules/vfile/vfilelist.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace dadav {

bool (*VFileAllocationRefused)() = nullptr;

bool VFileAllocationFails() {
  return VFileAllocationRefused != nullptr && VFileAllocationRefused();
}

namespace {

void FreeNodes(VFileList& list) {
  for (VFileNode* node = list.head; node != nullptr;) {
    VFileNode* next = node->next;
    FreeNode(node);
    node = next;
  }
  list.head = list.tail = list.current = nullptr;
  list.currentNo = 0;
}

}  // namespace

VFileList::~VFileList() {
  FreeNodes(*this);
}

VFileNode* NewNode() {
  if (VFileAllocationFails()) return nullptr;
  return new (std::nothrow) VFileNode;
}

std::uint8_t* NewData(std::uint16_t size) {
  if (VFileAllocationFails()) return nullptr;
  return new (std::nothrow) std::uint8_t[size];
}

void FreeNode(VFileNode* node) {
  if (node == nullptr) return;
  delete[] node->data;
  delete node;
}

VFileList& ListOf(WorkArea& area) {
  if (!area.vfile.moduleState) area.vfile.moduleState = std::make_shared<VFileList>();
  return *static_cast<VFileList*>(area.vfile.moduleState.get());
}

std::uint16_t BufferRecordSize(const WorkArea& area) {
  if (area.recordLength != 0) return area.recordLength;
  std::uint16_t length = 0;
  std::memcpy(&length, area.native, 2);
  // The data's size is a 16-bit word too, so the longest record leaves room for the word.
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(length, 65533) + 2);
}

std::size_t DeletionByteOffset(const WorkArea& area) {
  return area.recordLength != 0 ? 0 : 2;
}

bool NodeDeleted(const WorkArea& area, const VFileNode& node) {
  const std::size_t at = DeletionByteOffset(area);
  return at < node.size && node.data[at] != 0;
}

void SeekNode(WorkArea& area, std::int32_t n) {
  VFileList& list = ListOf(area);
  const std::int32_t count = area.recCount;
  const bool currentKnown =
      list.current != nullptr && list.currentNo >= 1 && list.currentNo <= count;
  const std::int32_t fromCurrent = currentKnown ? std::abs(n - list.currentNo) : count;
  VFileNode* node;
  std::int32_t at;
  if (n - 1 <= count - n && n - 1 <= fromCurrent) {
    node = list.head;
    at = 1;
  } else if (count - n <= fromCurrent) {
    node = list.tail;
    at = count;
  } else {
    node = list.current;
    at = list.currentNo;
  }
  for (; at < n; ++at) node = node->next;
  for (; at > n; --at) node = node->prev;
  list.current = node;
  list.currentNo = n;
  area.recNo = n;
}

void LoadBuffer(WorkArea& area, const VFileNode& node) {
  std::memcpy(area.native, node.data, node.size);
}

void LinkAfter(WorkArea& area, VFileNode* after, std::int32_t position, VFileNode* node) {
  VFileList& list = ListOf(area);
  node->prev = after;
  node->next = after != nullptr ? after->next : list.head;
  if (node->next != nullptr)
    node->next->prev = node;
  else
    list.tail = node;
  if (after != nullptr)
    after->next = node;
  else
    list.head = node;
  ++area.recCount;
  list.current = node;
  list.currentNo = position + 1;
  area.recNo = position + 1;
  area.bof = area.eof = false;
}

void Unlink(WorkArea& area, VFileNode* node) {
  VFileList& list = ListOf(area);
  if (node->prev != nullptr)
    node->prev->next = node->next;
  else
    list.head = node->next;
  if (node->next != nullptr)
    node->next->prev = node->prev;
  else
    list.tail = node->prev;
  node->prev = node->next = nullptr;
  --area.recCount;
  if (node == list.current) {
    list.current = nullptr;
    list.currentNo = 0;
  }
}

void RemoveCurrent(WorkArea& area) {
  VFileList& list = ListOf(area);
  VFileNode* node = list.current;
  if (node == nullptr) return;
  const std::int32_t position = list.currentNo;
  VFileNode* next = node->next;
  Unlink(area, node);
  FreeNode(node);
  area.bof = area.eof = area.recCount == 0;
  if (area.recCount == 0) {
    area.recNo = 0;
  } else if (next != nullptr) {
    list.current = next;
    list.currentNo = position;
    area.recNo = position;
  } else {
    list.current = list.tail;
    list.currentNo = area.recCount;
    area.recNo = area.recCount;
  }
}

void FreeAll(WorkArea& area) {
  FreeNodes(ListOf(area));
  area.recCount = 0;
  area.recNo = 0;
  area.bof = area.eof = true;
}

}  // namespace dadav
