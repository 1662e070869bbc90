#include "tables/modules/ndx/ndxupdate.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/tzerror.h"
#include "tables/modules/ndx/ndxindex.h"
#include "tables/modules/ndx/ndxmark.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tables/modules/ndx/ndxwalk.h"

namespace dadav {

std::int32_t TargetRecord = 0;

namespace {

constexpr std::size_t kHeader = 4;

// A node's entries as one byte run, with an inner node's trailing child beside them.
struct NodeImage {
  std::vector<std::uint8_t> entries;
  std::uint32_t trailing = 0;
  bool leaf = true;
};

std::uint16_t EntryCount(const IndexDescriptor& d, const NodeImage& image) {
  return static_cast<std::uint16_t>(image.entries.size() / d.EntrySize());
}

NodeImage ImageOf(const IndexDescriptor& d, NdxBlock& block) {
  const NdxNodeView view(block, d.EntrySize());
  NodeImage image;
  image.leaf = view.IsLeaf();
  image.entries.assign(block.begin() + kHeader,
                       block.begin() + static_cast<std::ptrdiff_t>(
                                           kHeader + std::size_t{view.Count()} * d.EntrySize()));
  if (!image.leaf) image.trailing = view.TrailingChild();
  return image;
}

NdxBlock BlockOf(const IndexDescriptor& d, const std::uint8_t* entries, std::uint16_t count,
                 std::uint32_t trailing, bool leaf) {
  NdxBlock block{};
  NdxNodeView view(block, d.EntrySize());
  std::memcpy(block.data() + kHeader, entries, std::size_t{count} * d.EntrySize());
  view.SetCount(count);
  if (!leaf) view.SetTrailingChild(trailing);
  return block;
}

std::vector<std::uint8_t> Entry(const IndexDescriptor& d, std::uint32_t child, std::uint32_t record,
                                const std::uint8_t* key) {
  std::vector<std::uint8_t> entry(d.EntrySize(), 0);
  for (int i = 0; i < 4; ++i) {
    entry[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(child >> (8 * i));
    entry[static_cast<std::size_t>(4 + i)] = static_cast<std::uint8_t>(record >> (8 * i));
  }
  std::memcpy(entry.data() + 8, key, d.KeyLength());
  return entry;
}

std::uint8_t* KeyAt(const IndexDescriptor& d, NodeImage& image, std::size_t i) {
  return image.entries.data() + i * d.EntrySize() + 8;
}

void SetChildAt(const IndexDescriptor& d, NodeImage& image, std::size_t i, std::uint32_t child) {
  if (i == EntryCount(d, image)) {
    image.trailing = child;
    return;
  }
  for (int b = 0; b < 4; ++b) {
    image.entries[i * d.EntrySize() + static_cast<std::size_t>(b)] =
        static_cast<std::uint8_t>(child >> (8 * b));
  }
}

std::uint32_t ChildAt(const IndexDescriptor& d, const NodeImage& image, std::size_t i) {
  if (i == EntryCount(d, image)) return image.trailing;
  const std::uint8_t* e = image.entries.data() + i * d.EntrySize();
  return std::uint32_t{e[0]} | std::uint32_t{e[1]} << 8 | std::uint32_t{e[2]} << 16 |
         std::uint32_t{e[3]} << 24;
}

void InsertAt(const IndexDescriptor& d, NodeImage& image, std::size_t i,
              const std::vector<std::uint8_t>& entry) {
  image.entries.insert(image.entries.begin() + static_cast<std::ptrdiff_t>(i * d.EntrySize()),
                       entry.begin(), entry.end());
}

void EraseAt(const IndexDescriptor& d, NodeImage& image, std::size_t i) {
  const auto at = image.entries.begin() + static_cast<std::ptrdiff_t>(i * d.EntrySize());
  image.entries.erase(at, at + d.EntrySize());
}

bool Write(IndexDescriptor& d, std::uint8_t slot, std::uint32_t node, const NodeImage& image) {
  return WriteNode(
      d, slot, node,
      BlockOf(d, image.entries.data(), EntryCount(d, image), image.trailing, image.leaf));
}

bool Read(IndexDescriptor& d, std::uint8_t slot, std::uint32_t node, NodeImage& image) {
  NdxBlock block{};
  if (!ReadNode(d, slot, node, block)) return false;
  image = ImageOf(d, block);
  return true;
}

std::uint32_t NewNode(IndexDescriptor& d) {
  const std::uint32_t node = d.anchor.NextFree();
  d.anchor.SetNextFree(node + 1);
  d.anchorChanged = true;
  return node;
}

// What a split hands to the level above: the old node keeps its number and now ends at
// leftMax; the new node follows it.
struct Split {
  std::uint32_t left = 0;
  std::vector<std::uint8_t> leftMax;
  std::uint32_t right = 0;
  std::vector<std::uint8_t> rightMax;  // empty: the old separator still fits
};

// Splits a node one entry too full: the old node keeps the first c - c div 2 of its c old
// entries and the new one inserted at `inserted` when it falls among them.
bool SplitNode(IndexDescriptor& d, std::uint8_t slot, std::uint32_t node, NodeImage& image,
               std::size_t inserted, Split& split) {
  const std::size_t c = EntryCount(d, image) - 1u;
  const std::size_t keep = c - c / 2;
  const std::size_t leftCount = keep + (inserted < keep ? 1 : 0);
  const std::size_t es = d.EntrySize();
  NodeImage left, right;
  left.leaf = right.leaf = image.leaf;
  left.entries.assign(image.entries.begin(),
                      image.entries.begin() + static_cast<std::ptrdiff_t>(leftCount * es));
  right.entries.assign(image.entries.begin() + static_cast<std::ptrdiff_t>(leftCount * es),
                       image.entries.end());
  right.trailing = image.trailing;
  split.leftMax.assign(KeyAt(d, left, leftCount - 1),
                       KeyAt(d, left, leftCount - 1) + d.KeyLength());
  if (image.leaf) {
    const std::size_t rightCount = EntryCount(d, right);
    split.rightMax.assign(KeyAt(d, right, rightCount - 1),
                          KeyAt(d, right, rightCount - 1) + d.KeyLength());
  } else {
    // The last key of the left half moves up; its child becomes the trailing child.
    left.trailing = ChildAt(d, left, leftCount - 1);
    EraseAt(d, left, leftCount - 1);
    split.rightMax.clear();
  }
  split.left = node;
  split.right = NewNode(d);
  return Write(d, slot, split.right, right) && Write(d, slot, node, left);
}

// Puts a split child into its parent at child index i.
void TakeSplit(IndexDescriptor& d, NodeImage& parent, std::size_t i, const Split& split) {
  InsertAt(d, parent, i, Entry(d, split.left, 0, split.leftMax.data()));
  SetChildAt(d, parent, i + 1, split.right);
  if (!split.rightMax.empty() && i + 1 < EntryCount(d, parent)) {
    std::memcpy(KeyAt(d, parent, i + 1), split.rightMax.data(), d.KeyLength());
  }
}

bool Fits(const IndexDescriptor& d, const NodeImage& image) {
  return EntryCount(d, image) <= d.anchor.KeysPerNode();
}

// Inserts into the path's leaf at the position and splits upward as needed.
bool InsertIntoPath(IndexDescriptor& d, std::uint8_t slot, std::size_t position,
                    const std::vector<std::uint8_t>& entry) {
  std::size_t level = d.path.size() - 1;
  NodeImage image = ImageOf(d, d.path[level].block);
  image.leaf = true;
  InsertAt(d, image, position, entry);
  std::size_t inserted = position;
  for (;;) {
    const std::uint32_t node = d.path[level].node;
    if (Fits(d, image)) return Write(d, slot, node, image);
    Split split;
    if (!SplitNode(d, slot, node, image, inserted, split)) return false;
    if (level == 0) {
      NodeImage root;
      root.leaf = false;
      root.entries = Entry(d, split.left, 0, split.leftMax.data());
      root.trailing = split.right;
      const std::uint32_t number = NewNode(d);
      d.anchor.SetRoot(number);
      return Write(d, slot, number, root);
    }
    --level;
    image = ImageOf(d, d.path[level].block);
    inserted = static_cast<std::size_t>(d.path[level].position);
    TakeSplit(d, image, inserted, split);
  }
}

// Keeps the order slot for the scope.
class SlotScope {
 public:
  explicit SlotScope(std::uint8_t slot) : previous_(CurrentOrderSlot) { CurrentOrderSlot = slot; }
  ~SlotScope() { CurrentOrderSlot = previous_; }
  SlotScope(const SlotScope&) = delete;
  SlotScope& operator=(const SlotScope&) = delete;

 private:
  std::uint8_t previous_;
};

bool FinishAnchor(IndexDescriptor& d) {
  return !d.anchorChanged || WriteAnchorNode(d);
}

// The index lost its last key: root 1, next free 2, node 1 all zeros.
bool ResetToEmpty(IndexDescriptor& d, std::uint8_t slot) {
  d.anchor.SetRoot(1);
  d.anchor.SetNextFree(2);
  d.anchorChanged = true;
  return WriteNode(d, slot, 1, NdxBlock{});
}

// The node at the level now ends at a new largest key. The entry naming it takes that key;
// a node that is its parent's trailing child has no entry there, and the parent's own largest
// key changed with it, so the key goes on upward.
bool CarryLargestKeyUp(IndexDescriptor& d, std::uint8_t slot, std::size_t level,
                       const std::vector<std::uint8_t>& largest) {
  while (level > 0) {
    --level;
    NodeImage parent = ImageOf(d, d.path[level].block);
    parent.leaf = false;
    const std::size_t i = static_cast<std::size_t>(d.path[level].position);
    if (i < EntryCount(d, parent)) {
      std::memcpy(KeyAt(d, parent, i), largest.data(), d.KeyLength());
      return Write(d, slot, d.path[level].node, parent);
    }
  }
  return true;
}

std::vector<std::uint8_t> KeyCopy(const IndexDescriptor& d, NodeImage& image, std::size_t i) {
  return std::vector<std::uint8_t>(KeyAt(d, image, i), KeyAt(d, image, i) + d.KeyLength());
}

bool RemoveChild(IndexDescriptor& d, std::uint8_t slot, std::size_t level);

// After a removal at the level: the node written, an inner root without entries replaced by
// its child, another inner node without entries given a second child.
bool Settle(IndexDescriptor& d, std::uint8_t slot, std::size_t level, NodeImage& image);

bool Rebalance(IndexDescriptor& d, std::uint8_t slot, std::size_t level, NodeImage& image) {
  const std::uint32_t node = d.path[level].node;
  NodeImage parent = ImageOf(d, d.path[level - 1].block);
  const std::size_t j = static_cast<std::size_t>(d.path[level - 1].position);
  const std::size_t parentCount = EntryCount(d, parent);
  if (parentCount == 0) return Write(d, slot, node, image);
  const bool left = j > 0;
  const std::size_t m = left ? j - 1 : j + 1;
  NodeImage neighbour;
  const std::uint32_t neighbourNode = ChildAt(d, parent, m);
  if (!Read(d, slot, neighbourNode, neighbour)) return false;
  const std::uint32_t only = image.trailing;
  const bool room = EntryCount(d, neighbour) < d.anchor.KeysPerNode();
  const std::size_t kl = d.KeyLength();
  if (left) {
    std::vector<std::uint8_t> separator(KeyAt(d, parent, j - 1), KeyAt(d, parent, j - 1) + kl);
    if (room) {
      const std::vector<std::uint8_t> moved = Entry(d, neighbour.trailing, 0, separator.data());
      neighbour.entries.insert(neighbour.entries.end(), moved.begin(), moved.end());
      neighbour.trailing = only;
      if (j < parentCount) {
        std::memcpy(KeyAt(d, parent, j - 1), KeyAt(d, parent, j), kl);
        EraseAt(d, parent, j);
      } else {
        parent.trailing = neighbourNode;
        EraseAt(d, parent, j - 1);
      }
      if (!Write(d, slot, neighbourNode, neighbour) || !WriteNode(d, slot, node, NdxBlock{}))
        return false;
      return Settle(d, slot, level - 1, parent);
    }
    const std::size_t last = EntryCount(d, neighbour) - 1u;
    image.entries = Entry(d, neighbour.trailing, 0, separator.data());
    image.trailing = only;
    std::memcpy(KeyAt(d, parent, j - 1), KeyAt(d, neighbour, last), kl);
    neighbour.trailing = ChildAt(d, neighbour, last);
    EraseAt(d, neighbour, last);
  } else {
    std::vector<std::uint8_t> separator(KeyAt(d, parent, j), KeyAt(d, parent, j) + kl);
    if (room) {
      InsertAt(d, neighbour, 0, Entry(d, only, 0, separator.data()));
      EraseAt(d, parent, j);
      if (!Write(d, slot, neighbourNode, neighbour) || !WriteNode(d, slot, node, NdxBlock{}))
        return false;
      return Settle(d, slot, level - 1, parent);
    }
    image.entries = Entry(d, only, 0, separator.data());
    image.trailing = ChildAt(d, neighbour, 0);
    std::memcpy(KeyAt(d, parent, j), KeyAt(d, neighbour, 0), kl);
    EraseAt(d, neighbour, 0);
  }
  return Write(d, slot, neighbourNode, neighbour) && Write(d, slot, node, image) &&
         Write(d, slot, d.path[level - 1].node, parent);
}

bool Settle(IndexDescriptor& d, std::uint8_t slot, std::size_t level, NodeImage& image) {
  const std::uint32_t node = d.path[level].node;
  if (EntryCount(d, image) > 0) return Write(d, slot, node, image);
  if (level == 0) {
    d.anchor.SetRoot(image.trailing);
    d.anchorChanged = true;
    return WriteNode(d, slot, node, NdxBlock{});
  }
  return Rebalance(d, slot, level, image);
}

// Removes from the inner node at the level the child the path took there.
bool RemoveChild(IndexDescriptor& d, std::uint8_t slot, std::size_t level) {
  NodeImage image = ImageOf(d, d.path[level].block);
  image.leaf = false;
  const std::size_t i = static_cast<std::size_t>(d.path[level].position);
  const std::size_t count = EntryCount(d, image);
  if (count == 0) {
    // A node some other program left with its trailing child only: now it has none.
    if (level == 0) return ResetToEmpty(d, slot);
    if (!WriteNode(d, slot, d.path[level].node, NdxBlock{})) return false;
    return RemoveChild(d, slot, level - 1);
  }
  if (i < count) {
    EraseAt(d, image, i);
    return Settle(d, slot, level, image);
  }
  // The last entry's child becomes the trailing child, so the node now ends at that entry's key.
  const std::vector<std::uint8_t> largest = KeyCopy(d, image, count - 1);
  image.trailing = ChildAt(d, image, count - 1);
  EraseAt(d, image, count - 1);
  return CarryLargestKeyUp(d, slot, level, largest) && Settle(d, slot, level, image);
}

bool RemoveFromLeaf(IndexDescriptor& d, std::uint8_t slot) {
  const std::size_t level = d.path.size() - 1;
  NodeImage leaf = ImageOf(d, d.path[level].block);
  leaf.leaf = true;
  const std::size_t position = static_cast<std::size_t>(d.path[level].position);
  const std::size_t count = EntryCount(d, leaf);
  if (count == 1) {
    if (level == 0)
      return ResetToEmpty(d, slot) &&
             (d.path[0].node == 1 || WriteNode(d, slot, d.path[0].node, NdxBlock{}));
    if (!WriteNode(d, slot, d.path[level].node, NdxBlock{})) return false;
    return RemoveChild(d, slot, level - 1);
  }
  EraseAt(d, leaf, position);
  if (!Write(d, slot, d.path[level].node, leaf)) return false;
  if (position != count - 1) return true;
  return CarryLargestKeyUp(d, slot, level, KeyCopy(d, leaf, count - 2));
}

std::int32_t RecordCount() {
  return Area() != nullptr ? Area()->recCount : 0;
}

void ReseekInserted(IndexDescriptor& d, const std::uint8_t* key, std::int32_t record) {
  SeekKey(key);
  while (LastErrorCode == 0 && FindFound && CurrentEntryRecord(d) != record && !d.atEnd) {
    _FindNextRec();
    const std::uint8_t* at = CurrentEntryKey(d);
    if (at == nullptr || d.Order(at, key) != 0) break;
  }
}

}  // namespace

int AppendIndex(const std::uint8_t* key, std::uint8_t slot) {
  IndexDescriptor* d = IndexSlot(slot);
  if (d == nullptr) return -1;
  LastErrorCode = 0;
  const std::int32_t record = Area()->recNo;
  SlotScope scope(slot);
  std::int32_t position = WalkToKey(*d, slot, key);
  if (LastErrorCode != 0) return -1;
  const std::uint16_t count = NdxNodeView(d->path.back().block, d->EntrySize()).Count();
  if (position == kWalkEmpty || position < 0) position = position == kWalkBeyond ? count : 0;
  if (d->Unique() && position < count &&
      d->Order(NdxNodeView(d->path.back().block, d->EntrySize())
                   .Key(static_cast<std::uint16_t>(position)),
               key) == 0) {
    return 0;
  }
  const std::vector<std::uint8_t> entry = Entry(*d, 0, static_cast<std::uint32_t>(record), key);
  try {
    if (!InsertIntoPath(*d, slot, static_cast<std::size_t>(position), entry)) return -1;
  } catch (const std::bad_alloc&) {
    ReportError(217, "Out of memory [AppendIndex]");
    return -1;
  }
  d->anchorChanged = true;
  if (!WriteAnchorNode(*d)) return -1;
  d->path.clear();
  if (slot == 1) ReseekInserted(*d, key, record);
  return LastErrorCode == 0 ? 0 : -1;
}

int DeleteKey(const std::uint8_t* key, std::uint8_t slot) {
  IndexDescriptor* d = IndexSlot(slot);
  if (d == nullptr) return -1;
  SlotScope scope(slot);
  SeekKey(key);
  if (LastErrorCode != 0) return -1;
  // A unique index may lack a record's key altogether: it went with the record that held it.
  if (!FindFound) return d->Unique() ? 0 : -1;
  while (CurrentEntryRecord(*d) != TargetRecord) {
    _FindNextRec();
    const std::uint8_t* at = CurrentEntryKey(*d);
    if (LastErrorCode != 0) return -1;
    if (d->atEnd || at == nullptr || d->Order(at, key) != 0) return d->Unique() ? 0 : -1;
  }
  const bool removed = RemoveFromLeaf(*d, slot);
  d->path.clear();
  if (!removed) return -1;
  return FinishAnchor(*d) ? 0 : -1;
}

void AppendNewKey() {
  if (Area() == nullptr) return;
  QuietErrors quiet;
  const bool natural = std::exchange(IndexArea().naturalOrder, false);
  // Only the anchors another program changed are read again: placing the index on the new
  // record would look for a key that is not in it yet.
  IndexChanged();
  std::vector<std::uint8_t> key;
  for (std::uint8_t n = 1; n <= kIndexSlots && LastErrorCode == 0; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    BuildKey(*d, key);
    if (AppendIndex(key.data(), n) == 0) continue;
    const std::uint16_t code = LastErrorCode != 0 ? LastErrorCode : 217;
    const std::string message = LastErrorMessage;
    TargetRecord = RecordCount();
    for (std::uint8_t m = static_cast<std::uint8_t>(n - 1); m >= 1; --m) {
      IndexDescriptor* lower = IndexSlot(m);
      if (lower == nullptr) continue;
      BuildKey(*lower, key);
      if (DeleteKey(key.data(), m) != 0) {
        ReportError(254, "Index file corrupted. " + lower->name + " [AppendNewKey]");
        break;
      }
    }
    if (LastErrorCode == 0) ReportError(code, message);
    break;
  }
  IndexArea().naturalOrder = natural;
  if (LastErrorCode == 0) {
    SyncIndex(false);
    SaveCurrentKey();
  } else {
    KeepIndexMarks();
  }
  quiet.Finish();
}

void SyncAndSaveKeys() {
  SyncIndex(false);
  SaveCurrentKeys(true, kIndexSlots);
}

void CompareKeys() {
  const WorkArea* area = Area();
  if (area == nullptr) return;
  std::vector<std::uint8_t> key;
  for (std::uint8_t n = 1; n <= kIndexSlots; ++n) {
    IndexDescriptor* d = IndexSlot(n);
    if (d == nullptr) continue;
    BuildKey(*d, key);
    const std::uint8_t* old = d->savedKey.data();
    if (d->Order(key.data(), old) == 0 && std::memcmp(key.data(), old, d->KeyLength()) == 0)
      continue;
    TargetRecord = area->recNo;
    if (DeleteKey(old, n) != 0) {
      if (LastErrorCode == 0) {
        ReportError(254, "Record number " + std::to_string(area->recNo) + " not found in index. " +
                             d->name + " [CompareKeys]");
      }
      break;
    }
    if (AppendIndex(key.data(), n) != 0) break;
    std::copy(key.begin(), key.end(), d->savedKey.begin());
  }
  CurrentOrderSlot = 1;
}

void MoveChangedKeys() {
  if (Area() == nullptr) return;
  QuietErrors quiet;
  const bool natural = std::exchange(IndexArea().naturalOrder, false);
  CompareKeys();
  IndexArea().naturalOrder = natural;
  if (LastErrorCode == 0) {
    SaveCurrentKey();
  } else {
    KeepIndexMarks();
  }
  quiet.Finish();
}

}  // namespace dadav
