#include "base/draw/fontstyle.h"

std::uint16_t FontStyleToCode(const FontStyleSet& style) {
  return static_cast<std::uint16_t>((style.bold ? 1 : 0) | (style.italic ? 2 : 0) |
                                    (style.underline ? 4 : 0) | (style.strikeout ? 8 : 0));
}

FontStyleSet CodeToFontStyle(std::uint16_t code) {
  return {(code & 1) != 0, (code & 2) != 0, (code & 4) != 0, (code & 8) != 0};
}

void FontStyleName(std::uint16_t code, std::string& name) {
  if (code > 15) return;
  const char* const words[] = {"bold", "italic", "underline", "strikeout"};
  name.clear();
  for (int bit = 0; bit < 4; ++bit) {
    if ((code & (1 << bit)) == 0) continue;
    if (!name.empty()) name += ' ';
    name += words[bit];
  }
}
