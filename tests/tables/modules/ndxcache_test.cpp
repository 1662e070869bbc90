#include "tables/modules/ndxcache.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace dadav {
namespace {

// A file of nodes in memory that counts its reads and writes; node n holds n in byte 4.
struct FakeFile {
  std::map<std::uint32_t, NdxBlock> written;
  std::vector<std::uint32_t> reads;
  int failWrites = 0;

  NdxBlockIo Reader() {
    return [this](std::uint32_t node, NdxBlock& block) {
      reads.push_back(node);
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

TEST(NdxNodeCache, NodesAreReadOnceAndFreshlyReadNodesAreUnchanged) {
  FakeFile file;
  NdxNodeCache cache(2048);
  int code = -1;
  NdxBlock* first = cache.Get(7, file.Reader(), file.Writer(), code);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(code, 0);
  EXPECT_EQ((*first)[4], 7);
  EXPECT_FALSE(NdxNodeCache::Changed(*first));
  EXPECT_EQ(cache.Get(7, file.Reader(), file.Writer(), code), first);
  EXPECT_EQ(file.reads, std::vector<std::uint32_t>{7});
}

TEST(NdxNodeCache, OftenUsedNodesMoveForwardAndTheLastPairIsEvicted) {
  FakeFile file;
  NdxNodeCache cache(2048);  // four pairs
  int code = 0;
  for (std::uint32_t n : {1u, 2u, 3u, 4u}) cache.Get(n, file.Reader(), file.Writer(), code);
  // Pairs: 1 2 3 4. Using 4 twice moves it to the second place: 1 4 2 3.
  cache.Get(4, file.Reader(), file.Writer(), code);
  cache.Get(4, file.Reader(), file.Writer(), code);
  cache.Get(5, file.Reader(), file.Writer(), code);  // evicts 3: 1 4 2 5
  file.reads.clear();
  for (std::uint32_t n : {1u, 4u, 2u, 5u}) cache.Get(n, file.Reader(), file.Writer(), code);
  EXPECT_TRUE(file.reads.empty());
  cache.Get(3, file.Reader(), file.Writer(), code);
  EXPECT_EQ(file.reads, std::vector<std::uint32_t>{3});
}

TEST(NdxNodeCache, AChangedNodeIsWrittenBackBeforeItsBufferIsReused) {
  FakeFile file;
  NdxNodeCache cache(2048);
  int code = 0;
  for (std::uint32_t n : {1u, 2u, 3u}) cache.Get(n, file.Reader(), file.Writer(), code);
  NdxBlock* node = cache.Get(9, file.Reader(), file.Writer(), code);  // the last pair
  (*node)[10] = 0xAB;
  NdxNodeCache::MarkChanged(*node);

  // The written-back node fails first: it stays cached and changed.
  file.failWrites = 1;
  EXPECT_EQ(cache.Get(4, file.Reader(), file.Writer(), code), nullptr);
  EXPECT_EQ(code, 101);
  ASSERT_NE(cache.Get(4, file.Reader(), file.Writer(), code), nullptr);
  ASSERT_EQ(file.written.count(9), 1u);
  EXPECT_EQ(file.written[9][10], 0xAB);
  EXPECT_FALSE(NdxNodeCache::Changed(file.written[9]));
}

TEST(NdxNodeCache, ClearWritesChangedNodesAndForgetsAll) {
  FakeFile file;
  NdxNodeCache cache(2048);
  int code = 0;
  NdxNodeCache::MarkChanged(*cache.Get(1, file.Reader(), file.Writer(), code));
  cache.Get(2, file.Reader(), file.Writer(), code);
  EXPECT_EQ(cache.Clear(file.Writer()), 0);
  EXPECT_EQ(file.written.size(), 1u);
  file.reads.clear();
  for (std::uint32_t n : {1u, 2u, 3u, 4u, 5u}) cache.Get(n, file.Reader(), file.Writer(), code);
  EXPECT_EQ(file.reads.size(), 5u);
  file.reads.clear();
  cache.Get(1, file.Reader(), file.Writer(), code);
  EXPECT_TRUE(file.reads.empty());
  cache.Get(4, file.Reader(), file.Writer(), code);  // evicted by 5
  EXPECT_EQ(file.reads.size(), 1u);
}

}  // namespace
}  // namespace dadav
