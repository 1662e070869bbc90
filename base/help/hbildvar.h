// State of the HP-GL interpreter, kept from one plot file to the next unless said otherwise.
#pragma once

#include <cstdint>

extern long double HpglPosX;  // mm; -999, -999 at the start of every file
extern long double HpglPosY;
extern long double HpglCharWidth;  // cm
extern long double HpglCharHeight;
extern long double HpglDirRun;
extern long double HpglDirRise;
extern long double HpglCharSet;
extern std::uint8_t HpglPenDown;
extern std::uint8_t HpglPen;
extern std::uint8_t HpglEndSeen;  // the last parameter ended with ";" or the label end

// Program-start values.
void InitHpglState();

// Colour number of the drawing window for a plotter pen.
std::int32_t HpglPenColor(std::uint8_t pen);
