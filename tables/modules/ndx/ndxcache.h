#pragma once
// The node cache of a work area's controlling index: a fixed number of 512-byte buffers whose
// pairs (node number, buffer) are kept roughly in order of use. A node found moves one place
// forward; a node not found takes a free pair or the last one, whose node is written back
// first when it was changed. Nodes are found through an open-addressing table of node numbers,
// which every step of a descent asks, so a hit costs a probe or two and no allocation. Node 0,
// the anchor, is never cached.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tables/modules/ndx/ndxformat.h"

namespace dadav {

// Default size: 65,536 nodes.
constexpr std::size_t kDefaultNodeCacheBytes = std::size_t{32} << 20;
constexpr std::size_t kSmallestNodeCacheBytes = 2048;

// Reads or writes one node; 0 or an I/O code.
using NdxBlockIo = std::function<int(std::uint32_t node, NdxBlock& block)>;

class NdxNodeCache {
 public:
  // The size is cut to whole nodes and raised to at least 2048 bytes. Buffers are taken only
  // as nodes arrive, so a large cache costs nothing on a small index.
  explicit NdxNodeCache(std::size_t bytes);

  std::size_t Capacity() const { return pairs_.size(); }
  std::size_t Bytes() const { return pairs_.size() * kNdxBlockSize; }

  // The buffer of node n when it is cached, moved one place forward; else nullptr.
  NdxBlock* Find(std::uint32_t node);
  // The buffer of node n, read through `read` when it is not cached; nullptr with `code` set
  // when a read or the write-back of an evicted changed node fails.
  NdxBlock* Get(std::uint32_t node, const NdxBlockIo& read, const NdxBlockIo& write, int& code);
  // Puts the node's new bytes into its buffer when it is cached.
  void Replace(std::uint32_t node, const NdxBlock& block);
  // Drops every cached node; changed ones are written first. 0 or the first write's code.
  int Clear(const NdxBlockIo& write);

  static void MarkChanged(NdxBlock& block);
  static bool Changed(const NdxBlock& block);

  // Whether a buffer of the cache holds a node found sound before under an anchor that makes
  // it sound under this one too (the same geometry, no more nodes then than now), so that a
  // descent need not look at every child again; and the mark that it was found sound. A node
  // read or replaced loses the mark.
  static bool KnownSound(const NdxBlock& buffer, const NdxAnchor& anchor);
  static void MarkSound(NdxBlock& buffer, const NdxAnchor& anchor);

 private:
  // A buffer and the anchor fields its node was last found sound under; zeros for none.
  struct Buffer {
    NdxBlock block{};
    std::uint32_t nextFree = 0;
    std::uint16_t keysPerNode = 0;
    std::uint16_t entrySize = 0;
  };
  static Buffer& BufferOf(NdxBlock& block);
  static const Buffer& BufferOf(const NdxBlock& block);
  static void ForgetSound(NdxBlock& block);

  struct Pair {
    std::uint32_t node = 0;
    // The table slot that holds the node.
    std::uint32_t slot = 0;
    NdxBlock* buffer = nullptr;
  };
  // A table slot: a node, the position of its pair and its buffer, so that a hit reaches the
  // buffer without waiting for the pair; node 0 marks an empty slot.
  struct Slot {
    std::uint32_t node = 0;
    std::uint32_t position = 0;
    NdxBlock* buffer = nullptr;
  };

  // Clears the changed mark, as a node read or written back has it.
  static void ClearMark(NdxBlock& block);
  // The pair to fill with a new node, its old node written back when changed; -1 on failure.
  std::ptrdiff_t FreePair(const NdxBlockIo& write, int& code);

  // The slot of the node, or the empty slot where its probe ends.
  std::size_t Probe(std::uint32_t node) const;
  std::size_t Home(std::uint32_t node) const;
  // Enters the node of the pair at the position into the table, or takes it out again.
  void Link(std::size_t position);
  void Unlink(std::size_t position);
  // Doubles the table, keeping it at most half full so that probes stay short.
  void Grow();

  std::vector<Pair> pairs_;
  std::size_t used_ = 0;
  std::vector<std::unique_ptr<Buffer>> buffers_;
  std::vector<Slot> slots_;
  std::size_t linked_ = 0;
};

}  // namespace dadav
