#include "base/settings/wprinvar.h"

double PrintScaleX;
double PrintScaleY;
std::int32_t PrintOriginX;
std::int32_t PrintOriginY;
std::uint8_t PrintBorder;
std::uint8_t PrintDialogOn;
std::int32_t TextWindowRect[4];
std::uint16_t SheetKind;
std::string PrintFontName;
std::uint16_t PrintFontSize;
std::uint16_t PrintFontStyle;
std::uint16_t PrintSetupRecNo;
std::uint16_t PrintOrientation;
double ScreendumpScale;
double PrintScaleVertical;
std::int32_t ScreendumpOrigin[2];
std::uint8_t ScreendumpBorder;
std::uint16_t PrinterOrientation;

void InitPrintSetup() {
  PrintScaleX = 1.0;
  PrintScaleY = 1.0;
  PrintOriginX = 0;
  PrintOriginY = 0;
  PrintBorder = 0;
  PrintDialogOn = 1;
  TextWindowRect[0] = 10;
  TextWindowRect[1] = 40;
  TextWindowRect[2] = 700;
  TextWindowRect[3] = 440;
  SheetKind = 0;
  PrintFontName = "Courier New";
  PrintFontSize = 10;
  PrintFontStyle = 3;
  PrintSetupRecNo = 0;
  PrintOrientation = 2;
  ScreendumpScale = 1.0;
  PrintScaleVertical = 1.0;
  ScreendumpOrigin[0] = 0;
  ScreendumpOrigin[1] = 0;
  ScreendumpBorder = 0;
  PrinterOrientation = 2;
}

namespace {
const bool kInitialised = (InitPrintSetup(), true);
}  // namespace
