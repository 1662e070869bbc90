#include "tables/modules/expr/exprkeys.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "tables/core/tznumber.h"

namespace dadav {
namespace {

constexpr std::uint8_t kKeyExponentBase = 52;
constexpr std::size_t kKeyDigits = 20;
constexpr std::size_t kFloatKeyTextLength = 50;
constexpr std::string_view kSoundexTable = "01230120022455012623010202";

int KeySign(const BcdKey& key) {
  return (key[1] & 0x80) != 0 ? -1 : 1;
}

int DigitCount(const BcdKey& key) {
  return (key[1] >> 2) & 0x1F;
}

int EffectiveExponent(const BcdKey& key) {
  return DigitCount(key) != 0 ? key[0] : 0;
}

char SoundexOf(char c) {
  return IsUpperLetter(c) ? kSoundexTable[static_cast<std::size_t>(c - 'A')] : '0';
}

}  // namespace

BcdKey TextToBcdKey(std::string_view text, int decimals) {
  BcdKey key{};
  std::size_t i = 0;
  auto skip = [&](std::string_view set) {
    while (i < text.size() && set.find(text[i]) != std::string_view::npos) ++i;
  };
  skip(" ");
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') key[1] = 0x80;
    ++i;
  }
  skip(" 0");
  auto exponent = kKeyExponentBase;
  bool point = false;
  if (i < text.size() && text[i] == '.') {
    point = true;
    ++i;
    const std::size_t zerosStart = i;
    skip("0");
    if (i < text.size() && text[i] >= '1' && text[i] <= '9')
      exponent = static_cast<std::uint8_t>(exponent - (i - zerosStart));
  }
  std::size_t stored = 0;
  int trailingZeros = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    trailingZeros = c == '0' ? trailingZeros + 1 : 0;
    if (stored == kKeyDigits) break;
    const auto digit = static_cast<std::uint8_t>(c - '0');
    key[2 + stored / 2] |= static_cast<std::uint8_t>(stored % 2 == 0 ? digit << 4 : digit);
    ++stored;
    if (!point) ++exponent;
  }
  key[0] = exponent;
  key[1] |= 1;
  int count = static_cast<int>(stored);
  if (!(point && decimals > trailingZeros)) {
    count -= trailingZeros;
    if (count >= 1 && count <= 9) count = 10;
  }
  count = std::min(count, static_cast<int>(kKeyDigits));
  if (count <= 0) {
    key[1] &= 0x7F;
  } else {
    key[1] |= static_cast<std::uint8_t>(count << 2);
  }
  return key;
}

BcdKey FloatToBcdKey(int decimals, double value) {
  const std::string text = FixedText(value, decimals);
  return TextToBcdKey(std::string_view(text).substr(0, kFloatKeyTextLength), decimals);
}

int CompareBcdKeys(const BcdKey& a, const BcdKey& b) {
  const int s = KeySign(a);
  if (s != KeySign(b)) return s;
  const int ea = EffectiveExponent(a), eb = EffectiveExponent(b);
  if (ea != eb) return ea < eb ? -s : s;
  const auto bytes = static_cast<std::size_t>((std::max(DigitCount(a), DigitCount(b)) + 1) / 2);
  const BcdKey& first = s > 0 ? a : b;
  const BcdKey& second = s > 0 ? b : a;
  return std::memcmp(first.data() + 2, second.data() + 2, bytes);
}

std::string SoundexCode(std::string_view text) {
  const std::string upper = UpperAscii(text.substr(0, 100));
  std::string code(kSoundexLength, '0');
  if (upper.empty()) return code;
  code[0] = upper[0];
  char last = SoundexOf(upper[0]);
  std::size_t filled = 1;
  for (std::size_t i = 1; i < upper.size() && filled < kSoundexLength; ++i) {
    if (!IsUpperLetter(upper[i])) continue;
    const char next = SoundexOf(upper[i]);
    if (next != last && next != '0') code[filled++] = next;
    last = next;
  }
  return code;
}

std::size_t CStrLen(const std::uint8_t* text, std::size_t size) {
  return static_cast<std::size_t>(std::find(text, text + size, std::uint8_t{0}) - text);
}

void CStrCopy(std::uint8_t* target, std::size_t targetSize, const std::uint8_t* source,
              std::size_t sourceSize) {
  if (targetSize == 0) return;
  const std::size_t length = std::min(CStrLen(source, sourceSize), targetSize - 1);
  std::copy_n(source, length, target);
  target[length] = 0;
}

std::string CStrToText(const std::uint8_t* text, std::size_t size, std::size_t maxLength) {
  const std::size_t length = CStrLen(text, std::min(size, maxLength));
  return std::string(reinterpret_cast<const char*>(text), length);
}

void TextToCStr(std::uint8_t* target, std::size_t size, std::string_view text) {
  if (size == 0) return;
  const std::size_t length = std::min(text.size(), size - 1);
  std::copy_n(text.data(), length, target);
  target[length] = 0;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

std::string ZeroPadInt(std::uint16_t value, std::uint16_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

void ReverseBytes(std::uint8_t* buffer, std::uint16_t length) {
  std::reverse(buffer, buffer + length);
}

void SwapBlocks(std::uint8_t* buffer, std::uint16_t a, std::uint16_t b) {
  if (a == 0 || b == 0) return;
  ReverseBytes(buffer, a);
  ReverseBytes(buffer + a, b);
  ReverseBytes(buffer, static_cast<std::uint16_t>(a + b));
}

void RingInsert(PoolBlock*& head, PoolBlock* block) {
  if (head == nullptr) {
    block->next = block;
    block->prior = block;
  } else {
    block->next = head->next;
    block->prior = head;
    head->next->prior = block;
    head->next = block;
  }
  head = block;
}

PoolBlock* RingRemove(PoolBlock*& head) {
  PoolBlock* removed = head;
  if (removed == nullptr) return nullptr;
  if (removed->next == removed) {
    head = nullptr;
  } else {
    removed->prior->next = removed->next;
    removed->next->prior = removed->prior;
    head = removed->prior;
  }
  removed->next = removed->prior = nullptr;
  return removed;
}

PoolBlock* RingNext(PoolBlock* head, PoolBlock* block) {
  if (head == nullptr || block == head) return nullptr;
  return block == nullptr ? head->next : block->next;
}

std::uint8_t* PoolAlloc(PoolBlock*& head, std::uint16_t size) {
  const std::size_t total = sizeof(PoolBlock) + size;
  void* memory = ::operator new(total, std::nothrow);
  if (memory == nullptr) return nullptr;
  auto* block = static_cast<PoolBlock*>(memory);
  block->size = static_cast<std::uint32_t>(total);
  std::memset(block->Payload(), 0, size);
  RingInsert(head, block);
  return block->Payload();
}

void PoolFree(PoolBlock* block) {
  ::operator delete(block);
}

void PoolFreeAll(PoolBlock*& head) {
  while (head != nullptr) PoolFree(RingRemove(head));
}

}  // namespace dadav
