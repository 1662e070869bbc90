#pragma once
// The three memo file layouts byte by byte: which layout a table's memo type takes, the block
// size its header gives, the header's next free block, and the group header that starts a
// record. Layout A (type 0x83) keeps texts ended by 0x1A in 512-byte blocks; layout B (0xF5, the
// FPT files) starts every record with a big-endian group header; layout C (0x8B, 0x8C and any
// other type) takes a little-endian group header or a text ended by 0x1A.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dadav {

constexpr std::uint8_t kMemoTypeA = 0x83;
constexpr std::uint8_t kMemoTypeB = 0xF5;
constexpr std::uint8_t kMemoEnd = 0x1A;
// What ends a text-form record: after a single 0x1A, some readers read on into the next memo.
constexpr std::string_view kTextEnd = "\x1A\x1A";
constexpr std::size_t kGroupHeaderBytes = 8;
constexpr std::uint16_t kLayoutABlockSize = 512;
// A memo field holds at most ten digits.
constexpr std::int64_t kMaxMemoBlock = 9'999'999'999;

// The memo type of a table whose version byte is version; MemoType for a version of no memo
// layout of its own.
std::uint8_t MemoTypeOfVersion(std::uint8_t version);
bool IsLayoutC(std::uint8_t memoType);
// Types 0x8B and 0x8C reuse a memo's old run and keep the header counter at offset 32.
bool ReusesRuns(std::uint8_t memoType);

// The bytes of a header: no memo starts inside them.
std::uint64_t HeaderBytes(std::uint8_t memoType);
// The block size of a file of memoType whose first bytes are header (possibly fewer than a
// whole header); setting stands in for a missing or non-positive size.
std::uint16_t BlockSizeOfHeader(std::uint8_t memoType, const std::uint8_t* header, std::size_t n,
                                std::uint16_t setting);

// The header's next free block for a file of fileSize bytes: its size in blocks, rounded up.
std::uint64_t NextFreeBlock(std::uint64_t fileSize, std::uint16_t blockSize);
// The four header bytes holding block, in the file's byte order.
std::array<std::uint8_t, 4> NextFreeBytes(std::uint8_t memoType, std::uint32_t block);

std::array<std::uint8_t, kGroupHeaderBytes> GroupHeader(std::uint8_t memoType,
                                                        std::uint32_t dataLength);
// The longest data a group header can describe.
constexpr std::uint64_t kMaxGroupData = 0xFFFFFFFFu - kGroupHeaderBytes;

// Reads the start of a record (n bytes at bytes): true when it is a group header, with the
// data length it states. Layout B always has one (cut short by the file's end it states 0); the
// other layouts have one when the record starts 0xFF 0xFF 0x08 0x00, and a stored length below
// 8 states an empty memo.
bool ParseGroupHeader(std::uint8_t memoType, const std::uint8_t* bytes, std::size_t n,
                      std::uint64_t& dataLength);

// True when text has no byte below 0x20 other than TAB, LF and CR.
bool IsPlainText(std::string_view text);

std::uint32_t GetLittle32(const std::uint8_t* p);
std::uint32_t GetBig32(const std::uint8_t* p);
void PutLittle32(std::uint8_t* p, std::uint32_t value);

}  // namespace dadav
