#pragma once
// Letter case and letter tests for Windows-1252 text, from the program's own tables so that
// the result never depends on the user's locale.

#include <cstddef>
#include <cstdint>

namespace platform {

std::uint8_t Cp1252Upper(std::uint8_t c);
std::uint8_t Cp1252Lower(std::uint8_t c);
bool Cp1252IsAlpha(std::uint8_t c);
// The same for length bytes of text, in place.
void Cp1252UpperInPlace(char* text, std::size_t length);
void Cp1252LowerInPlace(char* text, std::size_t length);

}  // namespace platform
