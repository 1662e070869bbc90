#include "platform/files/cp1252case.h"

#include <array>

namespace platform {
namespace {

struct CaseTables {
  std::array<std::uint8_t, 256> upper{};
  std::array<std::uint8_t, 256> lower{};
  std::array<bool, 256> alpha{};
};

constexpr void Pair(CaseTables& t, int up, int low) {
  t.upper[low] = static_cast<std::uint8_t>(up);
  t.lower[up] = static_cast<std::uint8_t>(low);
  t.alpha[up] = true;
  t.alpha[low] = true;
}

constexpr CaseTables BuildTables() {
  CaseTables t;
  for (int c = 0; c < 256; ++c) {
    t.upper[c] = static_cast<std::uint8_t>(c);
    t.lower[c] = static_cast<std::uint8_t>(c);
  }
  for (int c = 'A'; c <= 'Z'; ++c) Pair(t, c, c + 32);
  // Latin-1 block: 0xC0-0xDE pair with 0xE0-0xFE, except the multiplication and division signs.
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) Pair(t, c, c + 32);
  }
  Pair(t, 0x8A, 0x9A);  // S caron
  Pair(t, 0x8C, 0x9C);  // OE ligature
  Pair(t, 0x8E, 0x9E);  // Z caron
  Pair(t, 0x9F, 0xFF);  // Y diaeresis
  // Letters without a partner in this code page.
  for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) t.alpha[c] = true;
  return t;
}

// Built by the compiler, so a lookup is a plain load: keys raise the case of every record.
constexpr CaseTables kTables = BuildTables();

}  // namespace

std::uint8_t Cp1252Upper(std::uint8_t c) {
  return kTables.upper[c];
}
std::uint8_t Cp1252Lower(std::uint8_t c) {
  return kTables.lower[c];
}
bool Cp1252IsAlpha(std::uint8_t c) {
  return kTables.alpha[c];
}

void Cp1252UpperInPlace(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(kTables.upper[static_cast<std::uint8_t>(text[i])]);
}
void Cp1252LowerInPlace(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>(kTables.lower[static_cast<std::uint8_t>(text[i])]);
}

}  // namespace platform
