// Number texts of DXF lines: group codes and fixed-point reals with "." as decimal sign.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

// The group-code line: the code right-aligned in 3 characters. buffer must hold 16 bytes.
// Inline: every second line of a DXF file is one.
inline std::string_view dxf_code_text(std::int32_t code, char* buffer) {
  if (code >= 0 && code < 1000) {
    buffer[0] = code >= 100 ? static_cast<char>('0' + code / 100) : ' ';
    buffer[1] = code >= 10 ? static_cast<char>('0' + code / 10 % 10) : ' ';
    buffer[2] = static_cast<char>('0' + code % 10);
    return std::string_view(buffer, 3);
  }
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, code).ptr;
  std::size_t length = static_cast<std::size_t>(end - digits);
  std::size_t blanks = length < 3 ? 3 - length : 0;
  for (std::size_t i = 0; i < blanks; ++i) buffer[i] = ' ';
  for (std::size_t i = 0; i < length; ++i) buffer[blanks + i] = digits[i];
  return std::string_view(buffer, blanks + length);
}

// `value` in fixed point with `decimals` decimals (0 to 32), right-aligned in as many characters
// as `unscaled` has integer digits. A value that rounds to zero has no "-"; a non-finite value
// is written as 0.
std::string dxf_number_text(long double value, long double unscaled, std::int32_t decimals);
// The room dxf_write_number may fill.
inline constexpr std::size_t kDxfNumberRoom = 64;
// Writes the same text to out and returns its end, for the magnitudes of drawings: those whose
// digits reach the last decimal (below 10^17 with 0 decimals, below 10^11 with 6), unpadded;
// nullptr for any other value, which then needs dxf_number_text.
// The values come by reference: a long double just computed and passed by value is copied to
// the stack in halves, and reading it back whole waits for both.
char* dxf_write_number(char* out, const long double& value, const long double& unscaled,
                       std::int32_t decimals);
