#include "tables/modules/ndx/ndxwalk.h"

#include <cstring>

#include "tables/core/tzerror.h"

namespace dadav {
namespace {

NdxNodeView View(const IndexDescriptor& d, NdxPathLevel& level) {
  return NdxNodeView(level.block, d.EntrySize());
}

// The path's newest level until its node is read: dropped unless kept.
class PendingLevel {
 public:
  explicit PendingLevel(IndexDescriptor& d) : d_(d) {}
  ~PendingLevel() {
    if (!kept_) d_.path.pop_back();
  }
  PendingLevel(const PendingLevel&) = delete;
  PendingLevel& operator=(const PendingLevel&) = delete;
  void Keep() { kept_ = true; }

 private:
  IndexDescriptor& d_;
  bool kept_ = false;
};

bool Push(IndexDescriptor& d, std::uint8_t slot, std::uint32_t node) {
  if (d.path.size() >= kMaxNdxDepth) {
    ReportError(254, "Index file corrupted. " + d.name);
    return false;
  }
  // Levels are taken by reference while the path grows: it never moves.
  if (d.path.capacity() < kMaxNdxDepth) d.path.reserve(kMaxNdxDepth);
  NdxPathLevel& level = d.path.emplace_back(node);
  // The level goes again when its read fails, also when the error is thrown: every level on
  // the path holds a node that was read and checked, which a later descent relies on.
  PendingLevel pending(d);
  if (!ReadNode(d, slot, node, level.block)) return false;
  pending.Keep();
  return true;
}

bool StartAtRoot(IndexDescriptor& d, std::uint8_t slot) {
  d.path.clear();
  d.walked = 0;
  d.endPosition = false;
  return Push(d, slot, d.anchor.Root());
}

// Whether a descent may keep the levels its path shares with the last one. Only where the node
// cache serves the slot (the controlling index of an exclusive table) does every change of a
// node reach the path's copy too, so that the copy is the node as it is.
bool KeepsSharedLevels(std::uint8_t slot) {
  return SlotCache(slot) != nullptr;
}

// Makes the node the path's level at the depth: the level already there when it holds the node
// and may be kept, else the node read anew; the levels below are dropped.
bool Enter(IndexDescriptor& d, std::uint8_t slot, std::size_t depth, std::uint32_t node,
           bool keep) {
  const auto kept = d.path.begin() + static_cast<std::ptrdiff_t>(depth);
  if (keep && depth < d.path.size() && d.path[depth].node == node) {
    d.path.erase(kept + 1, d.path.end());
    return true;
  }
  d.path.erase(kept, d.path.end());
  return Push(d, slot, node);
}

// Follows the first children (or the last) down to a leaf.
bool DescendToLeaf(IndexDescriptor& d, std::uint8_t slot, bool leftmost) {
  for (;;) {
    NdxPathLevel& top = d.path.back();
    const NdxNodeView view = View(d, top);
    const std::int32_t count = view.Count();
    if (view.IsLeaf()) {
      top.position = leftmost ? 0 : count - 1;
      return true;
    }
    top.position = leftmost ? 0 : count;
    if (!Push(d, slot, view.Child(static_cast<std::uint16_t>(top.position)))) return false;
  }
}

bool TopLeafEmpty(const IndexDescriptor& d) {
  NdxPathLevel& top = const_cast<NdxPathLevel&>(d.path.back());
  return View(d, top).Count() == 0;
}

// Counts a step of a walk; false with error 254 once it passed more entries than the file holds.
bool CountStep(IndexDescriptor& d, bool forward) {
  d.walked += forward ? 1 : -1;
  const std::int64_t most = std::int64_t{d.anchor.NextFree()} * d.anchor.KeysPerNode();
  if (d.walked <= most && d.walked >= -most) return true;
  ReportError(254, "Index file corrupted. " + d.name);
  return false;
}

// The next (or prior) leaf that holds entries; false when there is none or after an error.
bool NeighbourLeaf(IndexDescriptor& d, std::uint8_t slot, bool forward) {
  for (;;) {
    if (!CountStep(d, forward)) return false;
    std::size_t g = d.path.size() - 1;
    bool found = false;
    while (g > 0 && !found) {
      --g;
      const std::int32_t count = View(d, d.path[g]).Count();
      found = forward ? d.path[g].position < count : d.path[g].position > 0;
    }
    if (!found) return false;
    d.path.erase(d.path.begin() + static_cast<std::ptrdiff_t>(g) + 1, d.path.end());
    NdxPathLevel& parent = d.path.back();
    parent.position += forward ? 1 : -1;
    const std::uint32_t child = View(d, parent).Child(static_cast<std::uint16_t>(parent.position));
    if (!Push(d, slot, child) || !DescendToLeaf(d, slot, forward)) return false;
    if (!TopLeafEmpty(d)) return true;
  }
}

bool WalkEnd(IndexDescriptor& d, std::uint8_t slot, bool first) {
  if (!StartAtRoot(d, slot) || !DescendToLeaf(d, slot, first)) return false;
  return !TopLeafEmpty(d) || NeighbourLeaf(d, slot, first);
}

std::uint64_t BigEndian64(const std::uint8_t* bytes) {
  std::uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word = word << 8 | bytes[i];
  return word;
}

// The key a descent searches, compared with the stored keys of every node it passes as
// CompareNdxKeys would: a numeric key decoded once, a character key of eight bytes or more
// ordered by its first eight bytes as one word before the rest are looked at.
class SearchedKey {
 public:
  SearchedKey(const IndexDescriptor& d, const std::uint8_t* key)
      : key_(key),
        length_(d.KeyLength()),
        numeric_(d.numeric),
        value_(d.numeric ? LoadNdxDouble(key) : 0),
        head_(!d.numeric && length_ >= 8 ? BigEndian64(key) : 0) {}

  // Negative, 0 or positive as the stored key orders before, with or after the searched one.
  int StoredOrder(const std::uint8_t* stored) const {
    if (numeric_) return CompareNdxDoubles(LoadNdxDouble(stored), value_);
    if (length_ < 8) return std::memcmp(stored, key_, length_);
    const std::uint64_t head = BigEndian64(stored);
    if (head != head_) return head < head_ ? -1 : 1;
    return std::memcmp(stored + 8, key_ + 8, length_ - 8u);
  }

 private:
  const std::uint8_t* key_;
  std::uint16_t length_;
  bool numeric_;
  double value_;
  std::uint64_t head_;
};

// Position of the first entry whose key is not below the key: -1 when the key is below the
// first, -2 when above the last (and for an empty node), else the entry's index.
std::int32_t SearchNode(const IndexDescriptor& d, NdxBlock& block, const SearchedKey& key) {
  const NdxNodeView view(block, d.EntrySize());
  const std::int32_t count = view.Count();
  if (count < 1) return kWalkBeyond;
  const int first = key.StoredOrder(view.Key(0));
  if (first >= 0) return first == 0 ? 0 : -1;
  if (key.StoredOrder(view.Key(static_cast<std::uint16_t>(count - 1))) < 0) return kWalkBeyond;
  std::int32_t low = 1;
  std::int32_t high = count - 1;
  while (low < high) {
    const std::int32_t middle = low + (high - low) / 2;
    if (key.StoredOrder(view.Key(static_cast<std::uint16_t>(middle))) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

}  // namespace

bool WalkFirst(IndexDescriptor& d, std::uint8_t slot) {
  return WalkEnd(d, slot, true);
}

bool WalkLast(IndexDescriptor& d, std::uint8_t slot) {
  return WalkEnd(d, slot, false);
}

bool WalkNext(IndexDescriptor& d, std::uint8_t slot) {
  if (d.path.empty()) return false;
  NdxPathLevel& top = d.path.back();
  if (!CountStep(d, true)) return false;
  if (top.position + 1 < View(d, top).Count()) {
    ++top.position;
    return true;
  }
  return NeighbourLeaf(d, slot, true);
}

bool WalkPrior(IndexDescriptor& d, std::uint8_t slot) {
  if (d.path.empty()) return false;
  NdxPathLevel& top = d.path.back();
  if (!CountStep(d, false)) return false;
  if (top.position > 0 && top.position - 1 < View(d, top).Count()) {
    --top.position;
    return true;
  }
  return NeighbourLeaf(d, slot, false);
}

std::int32_t WalkToKey(IndexDescriptor& d, std::uint8_t slot, const std::uint8_t* key) {
  d.walked = 0;
  d.endPosition = false;
  const bool keep = KeepsSharedLevels(slot);
  const SearchedKey searched(d, key);
  std::uint32_t node = d.anchor.Root();
  for (std::size_t depth = 0;; ++depth) {
    if (!Enter(d, slot, depth, node, keep)) return kWalkEmpty;
    NdxPathLevel& top = d.path.back();
    const NdxNodeView view = View(d, top);
    const std::int32_t position = SearchNode(d, top.block, searched);
    if (view.IsLeaf()) {
      if (view.Count() == 0) return d.path.size() == 1 ? kWalkEmpty : kWalkBeyond;
      return position;
    }
    top.position = position == kWalkBeyond ? view.Count() : (position < 0 ? 0 : position);
    node = view.Child(static_cast<std::uint16_t>(top.position));
  }
}

}  // namespace dadav
