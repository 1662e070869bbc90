#include "tables/modules/ndx/ndxformat.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace dadav {
namespace {

constexpr std::size_t kCountCheckOffset = 488;
constexpr std::size_t kRecordCountOffset = 492;
constexpr std::size_t kTableNameOffset = 496;
constexpr std::size_t kTableNameLength = 12;
constexpr std::size_t kNodeEntrySpace = kNdxBlockSize - 8;
static_assert(kNdxChangeMarkOffset > kNdxExpressionOffset + kMaxNdxExpressionLength &&
              kNdxChangeMarkOffset + kNdxChangeMark.size() <= kCountCheckOffset);

void Store16(std::uint8_t* bytes, std::uint16_t value) {
  bytes[0] = static_cast<std::uint8_t>(value);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

void Store32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Zero-terminated text of at most `limit` bytes.
std::string TextAt(const std::uint8_t* bytes, std::size_t limit) {
  const auto* end = std::find(bytes, bytes + limit, std::uint8_t{0});
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
}

// Either mark makes some reader compare the keys as doubles, so both must agree with the length.
bool HoldsDoubles(const NdxAnchor& anchor) {
  const char type = anchor.KeyType();
  return anchor.Numeric() || type == 'D' || type == 'F' || type == 'N';
}

}  // namespace

void NdxAnchor::SetRoot(std::uint32_t node) {
  Store32(&bytes[0], node);
}

void NdxAnchor::SetNextFree(std::uint32_t node) {
  Store32(&bytes[4], node);
}

std::uint16_t NdxEntrySize(std::uint16_t keyLength) {
  return static_cast<std::uint16_t>((keyLength + 8 + 3) / 4 * 4);
}

std::uint16_t NdxKeysPerNode(std::uint16_t entrySize) {
  return static_cast<std::uint16_t>(kNodeEntrySpace / entrySize);
}

NdxAnchor NewNdxAnchor(char expressionType, std::uint16_t keyLength, bool unique) {
  NdxAnchor anchor;
  anchor.SetRoot(1);
  anchor.SetNextFree(2);
  anchor.bytes[9] = static_cast<std::uint8_t>(expressionType == 'N' ? 'F' : expressionType);
  const std::uint16_t entrySize = NdxEntrySize(keyLength);
  Store16(&anchor.bytes[12], keyLength);
  Store16(&anchor.bytes[14], NdxKeysPerNode(entrySize));
  Store16(&anchor.bytes[16], expressionType == 'C' ? 0 : 1);
  Store16(&anchor.bytes[18], entrySize);
  anchor.bytes[23] = unique ? 1 : 0;
  return anchor;
}

bool NdxAnchorIsSound(const NdxAnchor& anchor, std::uint64_t blocks) {
  const std::uint16_t keyLength = anchor.KeyLength();
  const std::uint16_t entrySize = anchor.EntrySize();
  if (keyLength < 1 || keyLength > kMaxNdxKeyLength) return false;
  if (HoldsDoubles(anchor) && keyLength != kNdxDoubleKeyLength) return false;
  if (entrySize < keyLength + 8 || entrySize % 4 != 0) return false;
  const std::uint16_t keysPerNode = anchor.KeysPerNode();
  if (keysPerNode < 2 || keysPerNode > NdxKeysPerNode(entrySize)) return false;
  return anchor.Root() >= 1 && anchor.Root() < blocks;
}

NdxBlock NdxAnchorBlock(const NdxAnchor& anchor, std::string_view expression,
                        std::int32_t recordCount, std::string_view tableFileName, bool inChange) {
  NdxBlock block{};
  std::copy(anchor.bytes.begin(), anchor.bytes.end(), block.begin());
  const std::size_t expressionLength = std::min(expression.size(), kMaxNdxExpressionLength);
  std::memcpy(&block[kNdxExpressionOffset], expression.data(), expressionLength);
  const auto count = static_cast<std::uint32_t>(recordCount);
  Store32(&block[kCountCheckOffset], ~count);
  Store32(&block[kRecordCountOffset], count);
  const std::size_t nameLength = std::min(tableFileName.size(), kTableNameLength);
  std::memcpy(&block[kTableNameOffset], tableFileName.data(), nameLength);
  if (inChange) {
    std::memcpy(&block[kNdxChangeMarkOffset], kNdxChangeMark.data(), kNdxChangeMark.size());
  }
  return block;
}

bool NdxChangeMarked(const NdxBlock& block) {
  return std::memcmp(&block[kNdxChangeMarkOffset], kNdxChangeMark.data(), kNdxChangeMark.size()) ==
         0;
}

NdxAnchor NdxAnchorOf(const NdxBlock& block) {
  NdxAnchor anchor;
  std::copy_n(block.begin(), kNdxAnchorFieldSize, anchor.bytes.begin());
  return anchor;
}

std::string NdxStoredExpression(const NdxBlock& block) {
  return TextAt(&block[kNdxExpressionOffset], kMaxNdxExpressionLength);
}

IndexInfoRecord NdxInfoOf(const NdxBlock& block) {
  const NdxAnchor anchor = NdxAnchorOf(block);
  IndexInfoRecord info;
  info.expression = NdxStoredExpression(block);
  info.keyLength = static_cast<std::uint8_t>(anchor.KeyLength());
  info.keyType = anchor.KeyType();
  info.unique = anchor.Unique();
  const std::uint32_t count = LoadNdx32(&block[kRecordCountOffset]);
  if (LoadNdx32(&block[kCountCheckOffset]) == ~count) {
    info.tableName = TextAt(&block[kTableNameOffset], kTableNameLength);
    info.recordCount = static_cast<std::int32_t>(count);
  }
  return info;
}

int CompareNdxKeys(bool numeric, const std::uint8_t* a, const std::uint8_t* b,
                   std::uint16_t keyLength) {
  if (numeric) return CompareNdxDoubles(LoadNdxDouble(a), LoadNdxDouble(b));
  const int order = std::memcmp(a, b, keyLength);
  return (order > 0) - (order < 0);
}

void StoreNdxDouble(double value, std::uint8_t* key) {
  const auto bits = std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value);
  Store32(key, static_cast<std::uint32_t>(bits));
  Store32(key + 4, static_cast<std::uint32_t>(bits >> 32));
}

double LoadNdxDouble(const std::uint8_t* key) {
  const std::uint64_t low = LoadNdx32(key);
  const std::uint64_t high = LoadNdx32(key + 4);
  return std::bit_cast<double>(low | high << 32);
}

void NdxNodeView::SetCount(std::uint16_t count) {
  Store16(&block_[0], count);
}

void NdxNodeView::SetChild(std::uint16_t index, std::uint32_t node) {
  Store32(Entry(index), node);
}

void NdxNodeView::SetRecord(std::uint16_t index, std::uint32_t record) {
  Store32(Entry(index) + 4, record);
}

bool NdxNodeIsSound(NdxBlock& block, const NdxAnchor& anchor) {
  const NdxNodeView node(block, anchor.EntrySize());
  const std::uint16_t count = node.Count();
  if (count > anchor.KeysPerNode()) return false;
  if (node.IsLeaf()) return true;
  for (std::uint16_t i = 0; i <= count; ++i) {
    const std::uint32_t child = node.Child(i);
    if (child < 1 || child >= anchor.NextFree()) return false;
  }
  return true;
}

}  // namespace dadav
