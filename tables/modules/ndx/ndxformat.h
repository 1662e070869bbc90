#pragma once
// The bytes of an NDX index file: a 512-byte anchor block (block 0) followed by 512-byte B-tree
// nodes, all little-endian. The anchor's first 24 bytes are kept as read, so rewriting an anchor
// never changes a peer program's choices (its key type letter, its serial byte).

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace dadav {

constexpr std::size_t kNdxBlockSize = 512;
constexpr std::uint16_t kMaxNdxKeyLength = 100;
constexpr std::uint16_t kNdxDoubleKeyLength = 8;
constexpr std::size_t kNdxAnchorFieldSize = 24;
constexpr std::size_t kNdxExpressionOffset = 24;
constexpr std::size_t kMaxNdxExpressionLength = 100;
// The in-change mark: eight bytes between the expression's area and the record count check,
// where other programs' anchors hold zeros and which their readers never look at (they stop at
// the expression's terminating zero). An index carries it while it is being changed, so one
// left behind by a program that ended mid-change is known.
constexpr std::size_t kNdxChangeMarkOffset = 480;
constexpr std::string_view kNdxChangeMark = "INCHANGE";

using NdxBlock = std::array<std::uint8_t, kNdxBlockSize>;

// The file's little-endian words. Inline: every key comparison and every step of a walk through
// the index reads them.
inline std::uint16_t LoadNdx16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}
inline std::uint32_t LoadNdx32(const std::uint8_t* bytes) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}

// Anchor bytes 0..23: root, next free node, key type letter, key length, keys per node, numeric
// flag, entry size and the unique byte.
struct NdxAnchor {
  std::array<std::uint8_t, kNdxAnchorFieldSize> bytes{};

  std::uint32_t Root() const { return LoadNdx32(&bytes[0]); }
  void SetRoot(std::uint32_t node);
  std::uint32_t NextFree() const { return LoadNdx32(&bytes[4]); }
  void SetNextFree(std::uint32_t node);
  char KeyType() const { return static_cast<char>(bytes[9]); }
  std::uint16_t KeyLength() const { return LoadNdx16(&bytes[12]); }
  std::uint16_t KeysPerNode() const { return LoadNdx16(&bytes[14]); }
  bool Numeric() const { return LoadNdx16(&bytes[16]) != 0; }
  std::uint16_t EntrySize() const { return LoadNdx16(&bytes[18]); }
  bool Unique() const { return bytes[23] != 0; }
};

// Entry size: the key plus child and record numbers, rounded up to whole 4-byte words.
std::uint16_t NdxEntrySize(std::uint16_t keyLength);
std::uint16_t NdxKeysPerNode(std::uint16_t entrySize);

// A new index's anchor with root 1 and next free node 2. Numeric keys are written as "F": the
// "N" letter makes some readers compare the doubles as packed decimals.
NdxAnchor NewNdxAnchor(char expressionType, std::uint16_t keyLength, bool unique);

// True when the geometry can be trusted: key length 1..100 (exactly 8 for numeric and date
// keys, which are compared as doubles), an entry that holds the key and is a whole number of
// words, 2 or more keys per node that fit a block, and a root inside a file of `blocks` blocks.
bool NdxAnchorIsSound(const NdxAnchor& anchor, std::uint64_t blocks);

// The whole anchor block: bytes 0..23 as given, then the expression, the in-change mark when
// asked, the record count check pair and the table's file name (cut to 12 bytes); everything
// else zero.
NdxBlock NdxAnchorBlock(const NdxAnchor& anchor, std::string_view expression,
                        std::int32_t recordCount, std::string_view tableFileName,
                        bool inChange = false);
bool NdxChangeMarked(const NdxBlock& block);
NdxAnchor NdxAnchorOf(const NdxBlock& block);
// The stored expression: up to 100 bytes, ending at the first zero.
std::string NdxStoredExpression(const NdxBlock& block);

struct IndexInfoRecord {
  std::string expression;
  std::uint8_t keyLength = 0;
  char keyType = 0;
  bool unique = false;
  std::string tableName;  // empty unless the check pair matches
  std::int32_t recordCount = -1;
};

IndexInfoRecord NdxInfoOf(const NdxBlock& block);

// Negative, 0 or positive as key a orders before, with or after key b: bytes unsigned for
// character keys, doubles by value for numeric and date keys, with -0.0 equal to +0.0 and every
// NaN after every number and equal to each other, so any 8 bytes order totally.
int CompareNdxKeys(bool numeric, const std::uint8_t* a, const std::uint8_t* b,
                   std::uint16_t keyLength);

// The order of two numeric keys' values, as CompareNdxKeys gives it. Inline: a descent decodes
// the key it searches once and compares the value with the stored keys of every node passed.
inline int CompareNdxDoubles(double a, double b) {
  const bool aNan = std::isnan(a);
  const bool bNan = std::isnan(b);
  if (aNan || bNan) return static_cast<int>(aNan) - static_cast<int>(bNan);
  return (a > b) - (a < b);
}

// An 8-byte key holding the value, -0.0 stored as +0.0.
void StoreNdxDouble(double value, std::uint8_t* key);
double LoadNdxDouble(const std::uint8_t* key);

// A node: u16 key count, u16 zero (the changed mark in a cache), entries of child, record and
// key, and after an inner node's entries its trailing child.
class NdxNodeView {
 public:
  NdxNodeView(NdxBlock& block, std::uint16_t entrySize) : block_(block), entrySize_(entrySize) {}

  std::uint16_t Count() const { return LoadNdx16(&block_[0]); }
  void SetCount(std::uint16_t count);
  bool IsLeaf() const { return Child(0) == 0; }
  std::uint8_t* Entry(std::uint16_t index) const {
    return &block_[4 + std::size_t{index} * entrySize_];
  }
  std::uint32_t Child(std::uint16_t index) const { return LoadNdx32(Entry(index)); }
  void SetChild(std::uint16_t index, std::uint32_t node);
  std::uint32_t Record(std::uint16_t index) const { return LoadNdx32(Entry(index) + 4); }
  void SetRecord(std::uint16_t index, std::uint32_t record);
  std::uint8_t* Key(std::uint16_t index) const { return Entry(index) + 8; }
  // The child after the last entry: the word at entry `Count()`.
  std::uint32_t TrailingChild() const { return Child(Count()); }
  void SetTrailingChild(std::uint32_t node) { SetChild(Count(), node); }

 private:
  NdxBlock& block_;
  std::uint16_t entrySize_;
};

// True when the node can be walked: its count fits the anchor's keys per node and, in an inner
// node, every child (the trailing one included) names a node of the file.
bool NdxNodeIsSound(NdxBlock& block, const NdxAnchor& anchor);

}  // namespace dadav
