#include "base/help/hbildvar.h"

long double HpglPosX;
long double HpglPosY;
long double HpglCharWidth;
long double HpglCharHeight;
long double HpglDirRun;
long double HpglDirRise;
long double HpglCharSet;
std::uint8_t HpglPenDown;
std::uint8_t HpglPen;
std::uint8_t HpglEndSeen;

void InitHpglState() {
  HpglPosX = -999;
  HpglPosY = -999;
  HpglCharWidth = 5.0L;
  HpglCharHeight = 5.0L;
  HpglDirRun = 1.0L;
  HpglDirRise = 0.0L;
  HpglCharSet = 1.0L;
  HpglPenDown = 0;
  HpglPen = 0;
  HpglEndSeen = 0;
}

namespace {
const bool kInitialised = (InitHpglState(), true);
}  // namespace

std::int32_t HpglPenColor(std::uint8_t pen) {
  static constexpr std::int32_t kColours[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return pen < 8 ? kColours[pen] : pen;
}
