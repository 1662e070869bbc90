#include "tables/modules/ndxcache.h"

#include <algorithm>
#include <utility>

namespace dadav {

NdxNodeCache::NdxNodeCache(std::size_t bytes)
    : pairs_(std::max(bytes, kSmallestNodeCacheBytes) / kNdxBlockSize) {}

void NdxNodeCache::MarkChanged(NdxBlock& block) {
  block[2] = 1;
}

bool NdxNodeCache::Changed(const NdxBlock& block) {
  return block[2] != 0 || block[3] != 0;
}

void NdxNodeCache::ClearMark(NdxBlock& block) {
  block[2] = 0;
  block[3] = 0;
}

std::ptrdiff_t NdxNodeCache::FreePair(const NdxBlockIo& write, int& code) {
  if (used_ < pairs_.size()) {
    if (pairs_[used_].buffer == nullptr) {
      buffers_.push_back(std::make_unique<NdxBlock>());
      pairs_[used_].buffer = buffers_.back().get();
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
  position_.erase(last.node);
  last.node = 0;
  return static_cast<std::ptrdiff_t>(pairs_.size() - 1);
}

NdxBlock* NdxNodeCache::Get(std::uint32_t node, const NdxBlockIo& read, const NdxBlockIo& write,
                            int& code) {
  code = 0;
  if (auto found = position_.find(node); found != position_.end()) {
    std::size_t at = found->second;
    if (at > 0) {
      std::swap(pairs_[at], pairs_[at - 1]);
      position_[pairs_[at].node] = at;
      found->second = --at;
    }
    return pairs_[at].buffer;
  }
  const std::ptrdiff_t free = FreePair(write, code);
  if (free < 0) return nullptr;
  Pair& pair = pairs_[static_cast<std::size_t>(free)];
  if ((code = read(node, *pair.buffer)) != 0) {
    // The pair taken is always the last of the used range: give it back, so an empty pair
    // never sits among the used ones where no miss would take it again.
    --used_;
    return nullptr;
  }
  ClearMark(*pair.buffer);
  pair.node = node;
  position_[node] = static_cast<std::size_t>(free);
  return pair.buffer;
}

void NdxNodeCache::Replace(std::uint32_t node, const NdxBlock& block) {
  if (auto found = position_.find(node); found != position_.end()) {
    *pairs_[found->second].buffer = block;
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
  position_.clear();
  return first;
}

}  // namespace dadav
