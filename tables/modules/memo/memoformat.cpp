#include "tables/modules/memo/memoformat.h"

#include <algorithm>

#include "tables/core/tzdbflow.h"

namespace dadav {
namespace {

constexpr std::uint64_t kLayoutABHeaderBytes = 512;
constexpr std::uint64_t kLayoutCHeaderBytes = 24;
constexpr std::uint8_t kGroupMark[4] = {0xFF, 0xFF, 0x08, 0x00};

void PutBig32(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value >> 24);
  p[1] = static_cast<std::uint8_t>(value >> 16);
  p[2] = static_cast<std::uint8_t>(value >> 8);
  p[3] = static_cast<std::uint8_t>(value);
}

}  // namespace

std::uint32_t GetLittle32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t GetBig32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[3]) | static_cast<std::uint32_t>(p[2]) << 8 |
         static_cast<std::uint32_t>(p[1]) << 16 | static_cast<std::uint32_t>(p[0]) << 24;
}

void PutLittle32(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
  p[2] = static_cast<std::uint8_t>(value >> 16);
  p[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint8_t MemoTypeOfVersion(std::uint8_t version) {
  switch (version) {
    case 0x83:
    case 0x8B:
    case 0x8C:
    case 0xF5:
      return version;
    default:
      return MemoType;
  }
}

bool IsLayoutC(std::uint8_t memoType) {
  return memoType != kMemoTypeA && memoType != kMemoTypeB;
}

bool ReusesRuns(std::uint8_t memoType) {
  return memoType == 0x8B || memoType == 0x8C;
}

std::uint64_t HeaderBytes(std::uint8_t memoType) {
  return IsLayoutC(memoType) ? kLayoutCHeaderBytes : kLayoutABHeaderBytes;
}

std::uint16_t BlockSizeOfHeader(std::uint8_t memoType, const std::uint8_t* header, std::size_t n,
                                std::uint16_t setting) {
  if (setting == 0) setting = kLayoutABlockSize;
  if (memoType == kMemoTypeA) return kLayoutABlockSize;
  if (memoType == kMemoTypeB) {
    if (n < 8) return setting;
    const auto size = static_cast<std::uint16_t>(header[6] << 8 | header[7]);
    return size != 0 ? size : setting;
  }
  if (n < 22) return setting;
  const auto size = static_cast<std::int16_t>(header[20] | header[21] << 8);
  return size > 0 ? static_cast<std::uint16_t>(size) : setting;
}

std::uint64_t NextFreeBlock(std::uint64_t fileSize, std::uint16_t blockSize) {
  return fileSize / blockSize + (fileSize % blockSize != 0 ? 1 : 0);
}

std::array<std::uint8_t, 4> NextFreeBytes(std::uint8_t memoType, std::uint32_t block) {
  std::array<std::uint8_t, 4> bytes{};
  if (memoType == kMemoTypeB) {
    PutBig32(bytes.data(), block);
  } else {
    PutLittle32(bytes.data(), block);
  }
  return bytes;
}

std::array<std::uint8_t, kGroupHeaderBytes> GroupHeader(std::uint8_t memoType,
                                                        std::uint32_t dataLength) {
  std::array<std::uint8_t, kGroupHeaderBytes> header{};
  if (memoType == kMemoTypeB) {
    PutBig32(header.data(), 1);
    PutBig32(header.data() + 4, dataLength);
  } else {
    std::copy(std::begin(kGroupMark), std::end(kGroupMark), header.begin());
    PutLittle32(header.data() + 4, dataLength + static_cast<std::uint32_t>(kGroupHeaderBytes));
  }
  return header;
}

bool ParseGroupHeader(std::uint8_t memoType, const std::uint8_t* bytes, std::size_t n,
                      std::uint64_t& dataLength) {
  dataLength = 0;
  if (memoType == kMemoTypeB) {
    if (n >= kGroupHeaderBytes) dataLength = GetBig32(bytes + 4);
    return true;
  }
  if (n < 4 || !std::equal(std::begin(kGroupMark), std::end(kGroupMark), bytes)) return false;
  if (n >= kGroupHeaderBytes) {
    const std::uint32_t stored = GetLittle32(bytes + 4);
    dataLength = stored < kGroupHeaderBytes ? 0 : stored - kGroupHeaderBytes;
  }
  return true;
}

bool IsPlainText(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<std::uint8_t>(c);
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
  });
}

}  // namespace dadav
