#include "tables/modules/ndx/ndxcache.h"

#include <algorithm>
#include <utility>

namespace dadav {
namespace {

constexpr std::size_t kFirstTableSize = 16;

}  // namespace

NdxNodeCache::NdxNodeCache(std::size_t bytes)
    : pairs_(std::max(bytes, kSmallestNodeCacheBytes) / kNdxBlockSize), slots_(kFirstTableSize) {}

std::size_t NdxNodeCache::Home(std::uint32_t node) const {
  // Fibonacci hashing spreads the consecutive numbers of neighbouring nodes over the table.
  return static_cast<std::size_t>(node * 0x9E3779B9u) & (slots_.size() - 1);
}

std::size_t NdxNodeCache::Probe(std::uint32_t node) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = Home(node);
  while (slots_[at].node != 0 && slots_[at].node != node) at = (at + 1) & mask;
  return at;
}

void NdxNodeCache::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.node == 0) continue;
    const std::size_t at = Probe(slot.node);
    slots_[at] = slot;
    pairs_[slot.position].slot = static_cast<std::uint32_t>(at);
  }
}

void NdxNodeCache::Link(std::size_t position) {
  if ((linked_ + 1) * 2 > slots_.size()) Grow();
  Pair& pair = pairs_[position];
  const std::size_t at = Probe(pair.node);
  slots_[at] = {pair.node, static_cast<std::uint32_t>(position), pair.buffer};
  pair.slot = static_cast<std::uint32_t>(at);
  ++linked_;
}

// Linear probing's deletion: later slots of the probe sequence move back into the gap, so no
// probe ever stops early at it.
void NdxNodeCache::Unlink(std::size_t position) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t gap = pairs_[position].slot;
  slots_[gap] = {};
  --linked_;
  for (std::size_t at = (gap + 1) & mask; slots_[at].node != 0; at = (at + 1) & mask) {
    const std::size_t home = Home(slots_[at].node);
    // The entry stays when its home lies cyclically after the gap, up to its own slot.
    if (((at - home) & mask) < ((at - gap) & mask)) continue;
    slots_[gap] = slots_[at];
    pairs_[slots_[gap].position].slot = static_cast<std::uint32_t>(gap);
    slots_[at] = {};
    gap = at;
  }
}

void NdxNodeCache::MarkChanged(NdxBlock& block) {
  block[2] = 1;
}

bool NdxNodeCache::Changed(const NdxBlock& block) {
  return block[2] != 0 || block[3] != 0;
}

NdxNodeCache::Buffer& NdxNodeCache::BufferOf(NdxBlock& block) {
  // Every buffer the cache hands out is the first member of its Buffer.
  return *reinterpret_cast<Buffer*>(&block);
}

const NdxNodeCache::Buffer& NdxNodeCache::BufferOf(const NdxBlock& block) {
  return *reinterpret_cast<const Buffer*>(&block);
}

bool NdxNodeCache::KnownSound(const NdxBlock& buffer, const NdxAnchor& anchor) {
  const Buffer& b = BufferOf(buffer);
  return b.keysPerNode != 0 && b.keysPerNode == anchor.KeysPerNode() &&
         b.entrySize == anchor.EntrySize() && b.nextFree <= anchor.NextFree();
}

void NdxNodeCache::MarkSound(NdxBlock& buffer, const NdxAnchor& anchor) {
  Buffer& b = BufferOf(buffer);
  b.nextFree = anchor.NextFree();
  b.keysPerNode = anchor.KeysPerNode();
  b.entrySize = anchor.EntrySize();
}

void NdxNodeCache::ForgetSound(NdxBlock& block) {
  Buffer& b = BufferOf(block);
  b.nextFree = 0;
  b.keysPerNode = 0;
  b.entrySize = 0;
}

void NdxNodeCache::ClearMark(NdxBlock& block) {
  block[2] = 0;
  block[3] = 0;
}

std::ptrdiff_t NdxNodeCache::FreePair(const NdxBlockIo& write, int& code) {
  if (used_ < pairs_.size()) {
    if (pairs_[used_].buffer == nullptr) {
      buffers_.push_back(std::make_unique<Buffer>());
      pairs_[used_].buffer = &buffers_.back()->block;
    }
    return static_cast<std::ptrdiff_t>(used_++);
  }
  Pair& last = pairs_.back();
  if (last.node != 0 && Changed(*last.buffer)) {
    ClearMark(*last.buffer);
    if ((code = write(last.node, *last.buffer)) != 0) {
      MarkChanged(*last.buffer);
      return -1;
    }
  }
  if (last.node != 0) Unlink(pairs_.size() - 1);
  last.node = 0;
  return static_cast<std::ptrdiff_t>(pairs_.size() - 1);
}

NdxBlock* NdxNodeCache::Find(std::uint32_t node) {
  const std::size_t slot = Probe(node);
  if (node == 0 || slots_[slot].node != node) return nullptr;
  NdxBlock* buffer = slots_[slot].buffer;
  // The caller copies the node next: its lines are fetched while the pairs change places.
  for (std::size_t line = 0; line < kNdxBlockSize; line += 64) __builtin_prefetch(&(*buffer)[line]);
  const std::size_t at = slots_[slot].position;
  if (at > 0) {
    std::swap(pairs_[at], pairs_[at - 1]);
    slots_[pairs_[at].slot].position = static_cast<std::uint32_t>(at);
    slots_[slot].position = static_cast<std::uint32_t>(at - 1);
  }
  return buffer;
}

NdxBlock* NdxNodeCache::Get(std::uint32_t node, const NdxBlockIo& read, const NdxBlockIo& write,
                            int& code) {
  code = 0;
  if (NdxBlock* found = Find(node); found != nullptr) return found;
  const std::ptrdiff_t free = FreePair(write, code);
  if (free < 0) return nullptr;
  Pair& pair = pairs_[static_cast<std::size_t>(free)];
  ForgetSound(*pair.buffer);
  if ((code = read(node, *pair.buffer)) != 0) {
    // The pair taken is always the last of the used range: give it back, so an empty pair
    // never sits among the used ones where no miss would take it again.
    --used_;
    return nullptr;
  }
  ClearMark(*pair.buffer);
  pair.node = node;
  if (node != 0) Link(static_cast<std::size_t>(free));
  return pair.buffer;
}

void NdxNodeCache::Replace(std::uint32_t node, const NdxBlock& block) {
  if (const std::size_t slot = Probe(node); node != 0 && slots_[slot].node == node) {
    *slots_[slot].buffer = block;
    ForgetSound(*slots_[slot].buffer);
  }
}

int NdxNodeCache::Clear(const NdxBlockIo& write) {
  int first = 0;
  for (std::size_t i = 0; i < used_; ++i) {
    Pair& pair = pairs_[i];
    if (pair.node == 0 || !Changed(*pair.buffer)) continue;
    ClearMark(*pair.buffer);
    const int code = write(pair.node, *pair.buffer);
    if (first == 0) first = code;
  }
  for (std::size_t i = 0; i < used_; ++i) pairs_[i].node = 0;
  used_ = 0;
  std::fill(slots_.begin(), slots_.end(), Slot{});
  linked_ = 0;
  return first;
}

}  // namespace dadav
