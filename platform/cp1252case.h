#pragma once
// Letter case and letter tests for Windows-1252 text, from the program's own tables so that
// the result never depends on the user's locale.

#include <cstdint>

namespace platform {

std::uint8_t Cp1252Upper(std::uint8_t c);
std::uint8_t Cp1252Lower(std::uint8_t c);
bool Cp1252IsAlpha(std::uint8_t c);

}  // namespace platform
