#include "tables/modules/ndx/ndxcache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace dadav {
namespace {

// A file of nodes in memory that counts its reads and writes; node n holds n in byte 4.
struct FakeFile {
  std::map<std::uint32_t, NdxBlock> written;
  std::vector<std::uint32_t> reads;
  int failWrites = 0;
  int failReads = 0;

  NdxBlockIo Reader() {
    return [this](std::uint32_t node, NdxBlock& block) {
      reads.push_back(node);
      if (failReads > 0) {
        --failReads;
        block.fill(0xEE);  // a short read leaves whatever it got
        return 100;
      }
      if (auto it = written.find(node); it != written.end()) {
        block = it->second;
      } else {
        block.fill(0);
        block[4] = static_cast<std::uint8_t>(node);
      }
      block[2] = 0x55;  // whatever the disk holds there
      return 0;
    };
  }
  NdxBlockIo Writer() {
    return [this](std::uint32_t node, NdxBlock& block) {
      if (failWrites > 0) {
        --failWrites;
        return 101;
      }
      written[node] = block;
      return 0;
    };
  }
};

TEST(NdxNodeCache, SizeIsCutToWholeNodesWithATwoKilobyteFloor) {
  EXPECT_EQ(NdxNodeCache(4096).Capacity(), 8u);
  EXPECT_EQ(NdxNodeCache(4095).Capacity(), 7u);
  EXPECT_EQ(NdxNodeCache(0).Capacity(), 4u);
  EXPECT_EQ(NdxNodeCache(kDefaultNodeCacheBytes).Capacity(), 65536u);
}

// A cache of four pairs over the fake file.
class NdxNodeCacheTest : public ::testing::Test {
 protected:
  NdxBlock* Get(std::uint32_t node) { return cache.Get(node, file.Reader(), file.Writer(), code); }
  FakeFile file;
  NdxNodeCache cache{2048};
  int code = -1;
};

TEST_F(NdxNodeCacheTest, NodesAreReadOnceAndFreshlyReadNodesAreUnchanged) {
  NdxBlock* first = Get(7);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(code, 0);
  EXPECT_EQ((*first)[4], 7);
  EXPECT_FALSE(NdxNodeCache::Changed(*first));
  EXPECT_EQ(Get(7), first);
  EXPECT_EQ(file.reads, std::vector<std::uint32_t>{7});
}

TEST_F(NdxNodeCacheTest, OftenUsedNodesMoveForwardAndTheLastPairIsEvicted) {
  for (std::uint32_t n : {1u, 2u, 3u, 4u}) Get(n);
  // Pairs: 1 2 3 4. Using 4 twice moves it to the second place: 1 4 2 3.
  Get(4);
  Get(4);
  Get(5);  // evicts 3: 1 4 2 5
  file.reads.clear();
  for (std::uint32_t n : {1u, 4u, 2u, 5u}) Get(n);
  EXPECT_TRUE(file.reads.empty());
  Get(3);
  EXPECT_EQ(file.reads, std::vector<std::uint32_t>{3});
}

TEST_F(NdxNodeCacheTest, AChangedNodeIsWrittenBackBeforeItsBufferIsReused) {
  for (std::uint32_t n : {1u, 2u, 3u}) Get(n);
  NdxBlock* node = Get(9);  // the last pair
  (*node)[10] = 0xAB;
  NdxNodeCache::MarkChanged(*node);

  // The written-back node fails first: it stays cached and changed.
  file.failWrites = 1;
  EXPECT_EQ(Get(4), nullptr);
  EXPECT_EQ(code, 101);
  ASSERT_NE(Get(4), nullptr);
  ASSERT_EQ(file.written.count(9), 1u);
  EXPECT_EQ(file.written[9][10], 0xAB);
  EXPECT_FALSE(NdxNodeCache::Changed(file.written[9]));
}

TEST_F(NdxNodeCacheTest, ClearWritesChangedNodesAndForgetsAll) {
  NdxNodeCache::MarkChanged(*Get(1));
  Get(2);
  EXPECT_EQ(cache.Clear(file.Writer()), 0);
  EXPECT_EQ(file.written.size(), 1u);
  file.reads.clear();
  for (std::uint32_t n : {1u, 2u, 3u, 4u, 5u}) Get(n);
  EXPECT_EQ(file.reads.size(), 5u);
  file.reads.clear();
  Get(1);
  EXPECT_TRUE(file.reads.empty());
  Get(4);  // evicted by 5
  EXPECT_EQ(file.reads.size(), 1u);
}

TEST(NdxNodeCache, FailedReadsLeaveEveryPairFree) {
  FakeFile file;
  NdxNodeCache cache(4096);
  int code = 0;
  auto get = [&](std::uint32_t node) {
    return cache.Get(node, file.Reader(), file.Writer(), code);
  };
  auto readsOf = [&](std::uint32_t from, std::uint32_t to) {
    file.reads.clear();
    for (std::uint32_t n = from; n <= to; ++n) EXPECT_EQ((*get(n))[4], n);
    return file.reads.size();
  };
  file.failReads = 4;
  for (std::uint32_t n : {1u, 2u, 3u, 4u}) EXPECT_EQ(get(n), nullptr);
  EXPECT_EQ(code, 100);
  EXPECT_EQ(readsOf(1, 8), 8u);
  EXPECT_EQ(readsOf(1, 8), 0u);
  // A full cache that evicts its last node and then fails to read keeps the other seven.
  file.failReads = 1;
  EXPECT_EQ(get(9), nullptr);
  EXPECT_EQ(readsOf(1, 8), 1u);
}

// A node found sound stays so while the anchor keeps its geometry and has at least as many
// nodes; any other anchor, a new read of the node or new bytes for it ask for a new look.
TEST_F(NdxNodeCacheTest, ANodeFoundSoundIsKnownSoundUntilItOrTheAnchorChanges) {
  NdxAnchor anchor = NewNdxAnchor('C', 10, false);
  anchor.SetNextFree(10);
  for (std::uint32_t n : {4u, 5u, 6u}) Get(n);
  NdxBlock* node = Get(3);  // the last pair
  EXPECT_FALSE(NdxNodeCache::KnownSound(*node, anchor));
  NdxNodeCache::MarkSound(*node, anchor);
  EXPECT_TRUE(NdxNodeCache::KnownSound(*node, anchor));
  anchor.SetNextFree(12);
  EXPECT_TRUE(NdxNodeCache::KnownSound(*node, anchor));
  anchor.SetNextFree(9);
  EXPECT_FALSE(NdxNodeCache::KnownSound(*node, anchor));
  anchor.SetNextFree(10);
  EXPECT_FALSE(NdxNodeCache::KnownSound(*node, NewNdxAnchor('C', 12, false)));

  cache.Replace(3, NdxBlock{});
  EXPECT_FALSE(NdxNodeCache::KnownSound(*node, anchor));
  NdxNodeCache::MarkSound(*node, anchor);
  Get(7);  // evicts 3
  EXPECT_FALSE(NdxNodeCache::KnownSound(*Get(3), anchor));
}

// The order of use as a plain list: a hit moves one place forward, a miss appends or takes the
// last place. The cache must read exactly the nodes this list misses, whatever numbers the
// nodes carry (spread, clustered, or colliding in the cache's lookup table) and after every
// eviction the lookup table has to close up.
TEST(NdxNodeCache, HitsAndEvictionsFollowTheListOfUse) {
  for (const std::size_t pairs : {4u, 64u, 300u}) {
    for (const std::uint32_t stride : {1u, 16u, 1024u}) {
      FakeFile file;
      NdxNodeCache cache(pairs * kNdxBlockSize);
      std::vector<std::uint32_t> list;
      std::vector<std::uint32_t> expectedReads;
      std::mt19937 random(static_cast<unsigned>(pairs + stride));
      int code = 0;
      for (int i = 0; i < 20000; ++i) {
        // Mostly a working set that fits, now and then one of many more nodes.
        const std::uint32_t range = i % 7 == 0 ? static_cast<std::uint32_t>(pairs) * 4
                                               : static_cast<std::uint32_t>(pairs) - 1;
        const auto node = static_cast<std::uint32_t>(random() % range + 1) * stride;
        auto at = std::find(list.begin(), list.end(), node);
        if (at == list.end()) {
          expectedReads.push_back(node);
          if (list.size() < pairs) {
            list.push_back(node);
          } else {
            list.back() = node;
          }
        } else if (at != list.begin()) {
          std::iter_swap(at, at - 1);
        }
        const NdxBlock* block = cache.Get(node, file.Reader(), file.Writer(), code);
        ASSERT_NE(block, nullptr);
        ASSERT_EQ((*block)[4], static_cast<std::uint8_t>(node));
      }
      EXPECT_EQ(file.reads, expectedReads) << pairs << " pairs, stride " << stride;
    }
  }
}

}  // namespace
}  // namespace dadav
