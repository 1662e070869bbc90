#include "base/draw/hgvar.h"

namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r | (g << 8) | (b << 16);
}

constexpr std::array<std::uint32_t, kPaletteSize> kDefaultPalette = {
    Rgb(0, 0, 0),       Rgb(0, 0, 128),   Rgb(0, 255, 0),     Rgb(0, 255, 255),   Rgb(255, 0, 0),
    Rgb(128, 0, 128),   Rgb(128, 0, 0),   Rgb(192, 192, 192), Rgb(176, 176, 176), Rgb(0, 0, 255),
    Rgb(0, 255, 0),     Rgb(0, 255, 255), Rgb(255, 0, 0),     Rgb(255, 0, 255),   Rgb(255, 255, 0),
    Rgb(255, 255, 255), Rgb(0, 0, 0)};

}  // namespace

long double ZoomIncrement;
long double PanFactor;
std::uint32_t BackgroundColour;
std::string GraphicsFontName;
long double GraphicsTextWidthFactor;
long double TextHeightFactor;
std::uint16_t GraphicsTextStyle;
std::array<std::uint32_t, kPaletteSize> Palette;
std::uint8_t WheelZoomOn;

const std::array<std::uint32_t, kPaletteSize>& DefaultPalette() {
  return kDefaultPalette;
}

void InitGraphicsSettings() {
  ZoomIncrement = 1.2L;
  PanFactor = 0.1L;
  BackgroundColour = 1;
  GraphicsFontName = "Arial";
  GraphicsTextWidthFactor = 0.8L;
  TextHeightFactor = 1.0L;
  GraphicsTextStyle = 3;
  Palette = kDefaultPalette;
  WheelZoomOn = 0;
}

namespace {
const bool kInitialised = (InitGraphicsSettings(), true);
}  // namespace
