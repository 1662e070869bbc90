// Number texts of DXF lines: group codes and fixed-point reals with "." as decimal sign.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The group-code line: the code right-aligned in 3 characters. buffer must hold 16 bytes.
std::string_view dxf_code_text(std::int32_t code, char* buffer);

// `value` in fixed point with `decimals` decimals (0 to 32), right-aligned in as many characters
// as `unscaled` has integer digits. A value that rounds to zero has no "-"; a non-finite value
// is written as 0.
std::string dxf_number_text(long double value, long double unscaled, std::int32_t decimals);
// The room dxf_write_number may fill.
inline constexpr std::size_t kDxfNumberRoom = 64;
// Writes the same text to out and returns its end, for the magnitudes of drawings: those whose
// digits reach the last decimal (below 10^17 with 0 decimals, below 10^11 with 6), unpadded;
// nullptr for any other value, which then needs dxf_number_text.
char* dxf_write_number(char* out, long double value, long double unscaled, std::int32_t decimals);
