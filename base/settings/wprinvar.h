// Print setup of the drawing printout and the text printout, set by the print forms and the
// configuration file.
#pragma once

#include <cstdint>
#include <string>

extern double PrintScaleX;
extern double PrintScaleY;
extern std::int32_t PrintOriginX;  // millimetres
extern std::int32_t PrintOriginY;
extern std::uint8_t PrintBorder;
extern std::uint8_t PrintDialogOn;
extern std::int32_t TextWindowRect[4];
extern std::uint16_t SheetKind;
extern std::string PrintFontName;
extern std::uint16_t PrintFontSize;
extern std::uint16_t PrintFontStyle;
extern std::uint16_t PrintSetupRecNo;
extern std::uint16_t PrintOrientation;  // 1 portrait, 2 landscape
extern double ScreendumpScale;
extern double PrintScaleVertical;
extern std::int32_t ScreendumpOrigin[2];
extern std::uint8_t ScreendumpBorder;
extern std::uint16_t PrinterOrientation;

// Sets every value above to its default.
void InitPrintSetup();
