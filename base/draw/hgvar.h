// Settings of the drawing window: zoom and pan steps, colours, the text font of drawings.
// Colours are 32-bit values 0x00BBGGRR; the high byte is ignored.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int kPaletteSize = 17;

extern long double ZoomIncrement;
extern long double PanFactor;
extern std::uint32_t BackgroundColour;
extern std::string GraphicsFontName;
extern long double GraphicsTextWidthFactor;
extern long double TextHeightFactor;
extern std::uint16_t GraphicsTextStyle;
extern std::array<std::uint32_t, kPaletteSize> Palette;
extern std::uint8_t WheelZoomOn;

// Sets every value above to its default.
void InitGraphicsSettings();
// The palette InitGraphicsSettings starts with.
const std::array<std::uint32_t, kPaletteSize>& DefaultPalette();
