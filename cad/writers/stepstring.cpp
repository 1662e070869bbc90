#include "cad/writers/stepstring.h"

#include <cstdint>

#include "platform/files/codepage.h"

namespace {

// The code point of one Windows-1252 byte, read from its UTF-8 form (at most three bytes).
std::uint32_t code_point(unsigned char c) {
  const std::string utf8 =
      platform::Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&c), 1));
  auto byte = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(utf8[i]));
  };
  if (utf8.size() == 1) return byte(0);
  if (utf8.size() == 2) return (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
  return (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
}

void append_hex4(std::string& out, std::uint32_t value) {
  static const char kHex[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xFu];
}

}  // namespace

std::string step_string_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\'' || c == '\\') {
      out += ch;
      out += ch;
    } else if (c >= 0x20 && c <= 0x7E) {
      out += ch;
    } else {
      out += "\\X2\\";
      append_hex4(out, code_point(c));
      out += "\\X0\\";
    }
  }
  return out;
}
