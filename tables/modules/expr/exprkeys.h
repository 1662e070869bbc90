#pragma once
// Key routines shared by expressions and indexes: the packed-decimal numeric key, SOUNDEX,
// small text helpers and the ring lists of heap blocks the index module keeps its work in.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dadav {

// Byte 0 exponent (52 + digits before the point), byte 1 sign (bit 7), digit count (bits
// 2..6) and bit 0 set, bytes 2..11 up to 20 packed decimal digits, most significant first.
using BcdKey = std::array<std::uint8_t, 12>;

BcdKey TextToBcdKey(std::string_view text, int decimals);
// The key of value's fixed-point text with the given decimals, cut to 50 characters.
BcdKey FloatToBcdKey(int decimals, double value);
// Negative, 0 or positive as a orders before, with or after b.
int CompareBcdKeys(const BcdKey& a, const BcdKey& b);

constexpr std::size_t kSoundexLength = 4;
std::string SoundexCode(std::string_view text);

// Zero-terminated byte strings in buffers of a known size; nothing reads or writes past the
// size, and a buffer without a terminator holds a string of its whole size.
std::size_t CStrLen(const std::uint8_t* text, std::size_t size);
// Copies the string with its terminator, cut to targetSize - 1 bytes when the target is
// smaller; a target of size 0 is left as it is.
void CStrCopy(std::uint8_t* target, std::size_t targetSize, const std::uint8_t* source,
              std::size_t sourceSize);
// At most maxLength bytes of the string.
std::string CStrToText(const std::uint8_t* text, std::size_t size, std::size_t maxLength);
// The text and a terminator, the text cut to size - 1 bytes when the buffer is smaller.
void TextToCStr(std::uint8_t* target, std::size_t size, std::string_view text);

std::string UpperAscii(std::string_view text);
bool IsUpperLetter(char c);
// Decimal text left-padded with "0" up to width, never cut.
std::string ZeroPadInt(std::uint16_t value, std::uint16_t width);
void ReverseBytes(std::uint8_t* buffer, std::uint16_t length);
// Exchanges the adjacent runs [0, a) and [a, a + b) in place.
void SwapBlocks(std::uint8_t* buffer, std::uint16_t a, std::uint16_t b);

// A heap block on a circular, doubly linked ring; the ring's head is the newest block, so the
// head's next block is the oldest.
struct PoolBlock {
  PoolBlock* next;
  PoolBlock* prior;
  std::uint32_t size;  // payload plus header
  std::uint8_t* Payload() { return reinterpret_cast<std::uint8_t*>(this + 1); }
};

void RingInsert(PoolBlock*& head, PoolBlock* block);
PoolBlock* RingRemove(PoolBlock*& head);
// Iterates from the oldest block (block nil) to the newest; nil after the head.
PoolBlock* RingNext(PoolBlock* head, PoolBlock* block);
// A zeroed payload of `size` bytes in a new block inserted as head; nil when memory is short.
std::uint8_t* PoolAlloc(PoolBlock*& head, std::uint16_t size);
// Frees the block whose payload this is, after RingRemove or unlinking by the caller.
void PoolFree(PoolBlock* block);
// Unlinks and frees every block of the ring.
void PoolFreeAll(PoolBlock*& head);

}  // namespace dadav
