#include "tables/modules/ndx/ndxformat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/files/blockfile.h"
#include "tables/modules/ndx/ndxfile.h"
#include "tests/support/tempfolder.h"

namespace dadav {
namespace {

std::uint32_t Word(const NdxBlock& block, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | block[offset + static_cast<std::size_t>(i)];
  return value;
}

bool ZerosIn(const NdxBlock& block, std::size_t from, std::size_t to) {
  return std::all_of(block.begin() + static_cast<std::ptrdiff_t>(from),
                     block.begin() + static_cast<std::ptrdiff_t>(to),
                     [](std::uint8_t byte) { return byte == 0; });
}

TEST(NdxAnchor, GeometryFollowsTheKeyLength) {
  struct Case {
    std::uint16_t keyLength, entrySize, keysPerNode;
  };
  for (const Case& c : {Case{1, 12, 42}, Case{12, 20, 25}, Case{13, 24, 21}, Case{100, 108, 4}}) {
    const NdxAnchor anchor = NewNdxAnchor('C', c.keyLength, false);
    EXPECT_EQ(anchor.EntrySize(), c.entrySize) << c.keyLength;
    EXPECT_EQ(anchor.KeysPerNode(), c.keysPerNode) << c.keyLength;
    EXPECT_TRUE(NdxAnchorIsSound(anchor, 2));
  }
  EXPECT_EQ(NewNdxAnchor('N', 8, false).KeyType(), 'F');
  EXPECT_TRUE(NewNdxAnchor('D', 8, false).Numeric());
  EXPECT_FALSE(NewNdxAnchor('C', 8, true).Numeric());
}

TEST(NdxAnchor, BlockKeepsThePeersFieldsAndRebuildsTheRest) {
  // A peer's anchor: "N" letter, a serial byte at 20, and stale bytes beyond 24.
  NdxBlock peer{};
  peer.fill(0xEE);
  NdxAnchor anchor = NewNdxAnchor('N', 8, false);
  anchor.bytes[9] = 'N';
  anchor.bytes[20] = 7;
  std::copy(anchor.bytes.begin(), anchor.bytes.end(), peer.begin());
  NdxAnchor read = NdxAnchorOf(peer);
  read.SetRoot(5);
  read.SetNextFree(9);

  const NdxBlock block = NdxAnchorBlock(read, "PRICE*2", 1234, "ARTICLES.DBF");
  EXPECT_EQ(Word(block, 0), 5u);
  EXPECT_EQ(Word(block, 4), 9u);
  EXPECT_EQ(block[9], 'N');
  EXPECT_EQ(block[20], 7);
  EXPECT_EQ(std::memcmp(&block[24], "PRICE*2", 8), 0);
  EXPECT_TRUE(ZerosIn(block, 32, 488));
  EXPECT_EQ(Word(block, 488), ~1234u);
  EXPECT_EQ(Word(block, 492), 1234u);
  EXPECT_EQ(std::memcmp(&block[496], "ARTICLES.DBF", 12), 0);
  EXPECT_TRUE(ZerosIn(block, 508, 512));
}

TEST(NdxAnchor, LongTableNamesAndExpressionsAreCut) {
  const std::string expression(120, 'X');
  const NdxBlock block =
      NdxAnchorBlock(NewNdxAnchor('C', 10, false), expression, 0, "LONGERNAME.DBFX");
  EXPECT_EQ(NdxStoredExpression(block), std::string(100, 'X'));
  EXPECT_TRUE(ZerosIn(block, 124, 488));
  const IndexInfoRecord info = NdxInfoOf(block);
  EXPECT_EQ(info.tableName, "LONGERNAME.D");
  EXPECT_EQ(info.recordCount, 0);
  EXPECT_TRUE(ZerosIn(block, 508, 512));
}

TEST(NdxInfo, ReadsTheAnchorAndTrustsTheCountOnlyWithItsCheck) {
  NdxBlock block = NdxAnchorBlock(NewNdxAnchor('D', 8, true), "BORN", 26, "PEOPLE.DBF");
  IndexInfoRecord info = NdxInfoOf(block);
  EXPECT_EQ(info.expression, "BORN");
  EXPECT_EQ(info.keyLength, 8);
  EXPECT_EQ(info.keyType, 'D');
  EXPECT_TRUE(info.unique);
  EXPECT_EQ(info.tableName, "PEOPLE.DBF");
  EXPECT_EQ(info.recordCount, 26);

  block[488] ^= 1;
  info = NdxInfoOf(block);
  EXPECT_EQ(info.recordCount, -1);
  EXPECT_EQ(info.tableName, "");
  EXPECT_EQ(info.expression, "BORN");

  // Peers leave the pair zero: no trusted count either.
  std::fill(block.begin() + 488, block.end(), std::uint8_t{0});
  EXPECT_EQ(NdxInfoOf(block).recordCount, -1);
}

NdxAnchor WithWord(NdxAnchor anchor, std::size_t offset, std::uint16_t value) {
  anchor.bytes[offset] = static_cast<std::uint8_t>(value);
  anchor.bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  return anchor;
}

TEST(NdxAnchor, DamagedGeometryIsRefused) {
  const NdxAnchor good = NewNdxAnchor('C', 10, false);
  ASSERT_TRUE(NdxAnchorIsSound(good, 2));
  auto with = [&good](std::size_t offset, std::uint16_t value) {
    return WithWord(good, offset, value);
  };
  EXPECT_FALSE(NdxAnchorIsSound(with(12, 0), 2));    // key length 0
  EXPECT_FALSE(NdxAnchorIsSound(with(12, 101), 2));  // key length above 100
  EXPECT_FALSE(NdxAnchorIsSound(with(18, 17), 2));   // entry shorter than key + 8
  EXPECT_FALSE(NdxAnchorIsSound(with(18, 22), 2));   // entry not whole words
  EXPECT_FALSE(NdxAnchorIsSound(with(18, 24), 2));   // 25 entries of 24 bytes overflow
  EXPECT_TRUE(NdxAnchorIsSound(WithWord(with(18, 24), 14, 21), 2));  // a roomier entry is fine
  EXPECT_FALSE(NdxAnchorIsSound(with(14, 1), 2));                    // fewer than 2 keys per node
  EXPECT_FALSE(NdxAnchorIsSound(with(14, 26), 2));                   // more keys than a block holds
  EXPECT_TRUE(NdxAnchorIsSound(with(14, 2), 2));
  EXPECT_FALSE(NdxAnchorIsSound(with(0, 0), 2));  // root 0
  EXPECT_FALSE(NdxAnchorIsSound(good, 1));        // root beyond the file
  EXPECT_FALSE(NdxAnchorIsSound(with(0, 0xFFFF), 0xFFFF));
}

// Numeric and date keys are always compared as 8-byte doubles, whatever length the anchor says.
TEST(NdxAnchor, NumericAndDateKeysAreEightBytes) {
  EXPECT_TRUE(NdxAnchorIsSound(NewNdxAnchor('N', 8, false), 2));
  EXPECT_TRUE(NdxAnchorIsSound(NewNdxAnchor('D', 8, false), 2));
  for (int length : {1, 4, 7, 9, 100}) {
    const auto keyLength = static_cast<std::uint16_t>(length);
    EXPECT_FALSE(NdxAnchorIsSound(NewNdxAnchor('N', keyLength, false), 2)) << length;
    EXPECT_FALSE(NdxAnchorIsSound(NewNdxAnchor('D', keyLength, false), 2)) << length;
  }
  NdxAnchor flaggedOnly = NewNdxAnchor('C', 10, false);
  flaggedOnly.bytes[16] = 1;
  EXPECT_FALSE(NdxAnchorIsSound(flaggedOnly, 2));
  NdxAnchor letterOnly = NewNdxAnchor('C', 10, false);
  letterOnly.bytes[9] = 'N';
  EXPECT_FALSE(NdxAnchorIsSound(letterOnly, 2));
}

std::array<std::uint8_t, 8> DoubleKey(double value) {
  std::array<std::uint8_t, 8> key{};
  StoreNdxDouble(value, key.data());
  return key;
}

int CompareDoubleKeys(const std::array<std::uint8_t, 8>& a, const std::array<std::uint8_t, 8>& b) {
  return CompareNdxKeys(true, a.data(), b.data(), 8);
}

TEST(NdxKeys, CharacterKeysCompareUnsignedOverTheKeyLength) {
  const std::uint8_t a[] = {'A', 0x7F, 'Z'};
  const std::uint8_t b[] = {'A', 0x80, 'A'};
  EXPECT_LT(CompareNdxKeys(false, a, b, 3), 0);
  EXPECT_GT(CompareNdxKeys(false, b, a, 3), 0);
  EXPECT_EQ(CompareNdxKeys(false, a, b, 1), 0);
}

TEST(NdxKeys, DoublesCompareByValue) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> ascending = {-inf, -1e300, -2.5, -1e-300, 0.0, 1e-300, 3.0, 1e300, inf};
  for (std::size_t i = 0; i + 1 < ascending.size(); ++i) {
    EXPECT_LT(CompareDoubleKeys(DoubleKey(ascending[i]), DoubleKey(ascending[i + 1])), 0) << i;
    EXPECT_GT(CompareDoubleKeys(DoubleKey(ascending[i + 1]), DoubleKey(ascending[i])), 0) << i;
  }
  EXPECT_EQ(DoubleKey(-0.0), DoubleKey(0.0));
  // Bytes from elsewhere may hold -0.0: it still equals +0.0.
  std::array<std::uint8_t, 8> negativeZero{0, 0, 0, 0, 0, 0, 0, 0x80};
  EXPECT_EQ(CompareDoubleKeys(negativeZero, DoubleKey(0.0)), 0);
  EXPECT_EQ(LoadNdxDouble(DoubleKey(-2.5).data()), -2.5);
}

TEST(NdxKeys, AnyEightBytesOrderTotally) {
  // NaNs of any pattern sort after every number and tie with each other, so a sort over
  // damaged keys is well defined.
  std::array<std::uint8_t, 8> quietNan = DoubleKey(std::numeric_limits<double>::quiet_NaN());
  std::array<std::uint8_t, 8> otherNan{1, 0, 0, 0, 0, 0, 0xF0, 0xFF};
  EXPECT_EQ(CompareDoubleKeys(quietNan, otherNan), 0);
  EXPECT_GT(CompareDoubleKeys(otherNan, DoubleKey(std::numeric_limits<double>::infinity())), 0);

  std::mt19937_64 random(11);
  std::vector<std::array<std::uint8_t, 8>> keys(300);
  for (auto& key : keys) {
    const std::uint64_t bits = random() | (random() % 3 == 0 ? 0x7FF0000000000000u : 0u);
    for (int i = 0; i < 8; ++i)
      key[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
  }
  std::sort(keys.begin(), keys.end(),
            [](const auto& a, const auto& b) { return CompareDoubleKeys(a, b) < 0; });
  for (std::size_t i = 0; i + 1 < keys.size(); ++i)
    for (std::size_t j = i + 1; j < keys.size(); ++j)
      ASSERT_LE(CompareDoubleKeys(keys[i], keys[j]), 0) << i << " " << j;
}

TEST(NdxNode, EntriesLieAfterTheCountWithTheTrailingChildBehind) {
  NdxBlock block{};
  NdxNodeView node(block, 20);
  node.SetCount(2);
  node.SetChild(0, 3);
  node.SetChild(1, 4);
  node.SetTrailingChild(5);
  node.SetRecord(1, 77);
  std::memcpy(node.Key(1), "KEY", 3);
  EXPECT_EQ(block[0], 2);
  EXPECT_EQ(Word(block, 4), 3u);
  EXPECT_EQ(Word(block, 24), 4u);
  EXPECT_EQ(Word(block, 28), 77u);
  EXPECT_EQ(std::memcmp(&block[32], "KEY", 3), 0);
  EXPECT_EQ(Word(block, 44), 5u);
  EXPECT_FALSE(node.IsLeaf());
}

TEST(NdxNode, SoundnessChecksCountsAndChildren) {
  NdxAnchor anchor = NewNdxAnchor('C', 10, false);
  anchor.SetNextFree(6);
  NdxBlock block{};
  NdxNodeView node(block, anchor.EntrySize());
  EXPECT_TRUE(NdxNodeIsSound(block, anchor));  // the empty root of an empty index

  node.SetCount(26);
  EXPECT_FALSE(NdxNodeIsSound(block, anchor));
  node.SetCount(25);
  EXPECT_TRUE(NdxNodeIsSound(block, anchor));  // a full leaf

  // A peer's inner node with no key and only its trailing child can be walked.
  block.fill(0);
  node.SetTrailingChild(2);
  EXPECT_TRUE(NdxNodeIsSound(block, anchor));
  node.SetCount(1);
  node.SetChild(0, 2);
  node.SetTrailingChild(6);  // beyond the last node
  EXPECT_FALSE(NdxNodeIsSound(block, anchor));
  node.SetTrailingChild(0);
  EXPECT_FALSE(NdxNodeIsSound(block, anchor));
  node.SetTrailingChild(5);
  EXPECT_TRUE(NdxNodeIsSound(block, anchor));
}

TEST(NdxFile, BlocksRoundTripAndABlockBeyondTheEndIsAnError) {
  TempFolder folder;
  platform::BlockFile file;
  ASSERT_EQ(file.Create(folder.Path("t.ndx")), 0);
  NdxBlock written{};
  written[0] = 3;
  written[511] = 0xA5;
  ASSERT_EQ(WriteNdxBlock(file, 0, NdxBlock{}), 0);
  ASSERT_EQ(WriteNdxBlock(file, 2, written), 0);
  std::uint64_t blocks = 0;
  ASSERT_EQ(CountNdxBlocks(file, blocks), 0);
  EXPECT_EQ(blocks, 3u);

  NdxBlock read{};
  ASSERT_EQ(ReadNdxBlock(file, 2, read), 0);
  EXPECT_EQ(read, written);
  read.fill(0xFF);
  EXPECT_EQ(ReadNdxBlock(file, 3, read), kNdxShortRead);

  ASSERT_EQ(file.Truncate(2 * 512 + 100), 0);
  ASSERT_EQ(CountNdxBlocks(file, blocks), 0);
  EXPECT_EQ(blocks, 3u);
  EXPECT_EQ(ReadNdxBlock(file, 2, read), kNdxShortRead);
}

}  // namespace
}  // namespace dadav
