#pragma once
// Font style codes as the configuration stores them: bold 1, italic 2, underline 4, strikeout 8.

#include <cstdint>
#include <string>

struct FontStyleSet {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  bool operator==(const FontStyleSet&) const = default;
};

std::uint16_t FontStyleToCode(const FontStyleSet& style);
// The set of the code's bits; a code above 15 counts by its low four bits.
FontStyleSet CodeToFontStyle(std::uint16_t code);
// "bold", "bold italic", ... for codes 0-15 (0 gives an empty text); a code above 15 leaves
// name unchanged.
void FontStyleName(std::uint16_t code, std::string& name);
