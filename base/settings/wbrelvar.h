#pragma once
// Program identity, folders, run flags, shared text arrays and the older user settings. Plain
// globals that live for the whole run; texts are bytes in the DOS code page 850.
// Arrays are indexed from 1 as the program counts them; element 0 is unused.

#include <array>
#include <cstdint>
#include <string>

// Identity and current file.
extern std::string ProductCode;
extern std::string ShortName;
extern std::string LongTitle;
extern std::string FileExt;
extern std::string ProgVersion;
extern std::string CurrentFile;
extern std::string DataDir;
extern std::int32_t TempFileCounter;

// Folders.
extern std::string CadDir;
extern std::string DbfDir;
extern std::string EdiDir;
extern std::string PltDir;
extern std::string TempDir;
extern std::string BrelcorDir;
extern std::string StartDir;

// Shared text arrays.
inline constexpr int kChoiceTextCount = 135;
inline constexpr int kWrapLineCount = 5;
inline constexpr int kDrawingTextCount = 3;
extern std::array<std::string, kChoiceTextCount + 1> ChoiceTexts;
extern std::array<std::string, kWrapLineCount + 1> WrapLines;
extern std::array<std::string, kDrawingTextCount + 1> DrawingTexts;

// Run flags and state.
extern std::uint8_t AbortFlag;
extern std::uint8_t FatalFlag;
extern std::uint8_t ErrorBoxOn;
extern std::uint8_t Modified;
extern std::uint8_t ArchiveMode;
extern std::uint8_t ArchiveFlag;
extern std::int32_t SelectedRecord;
extern char BrowseExitKey;
extern char ZoomKeyMode;
extern std::uint16_t DrawingPage;

// Settings.
extern std::uint16_t HelpLevel;
extern std::uint16_t PrinterInterface;
extern std::uint16_t HardcopyInterface;
extern std::uint16_t PrinterType;
extern std::uint16_t PrintingDensity;
extern std::uint16_t PrintingDensityVertical;
extern char RotateHardcopy;
extern std::int32_t FloatDigits;
extern std::uint16_t PrintoutStyle;
extern std::int32_t LinesPerPage;
extern std::int32_t GraphDriver;
extern std::int32_t GraphMode;
extern std::uint16_t HorizontalPixels;
extern std::uint16_t VerticalPixels;
extern std::uint16_t MaxColour;
extern std::uint8_t ColourGraphics;
extern std::uint16_t WinPrintMode;
extern std::int32_t ConfigSpare;

// Start routine: sets every global above to its default and records the current directory in
// StartDir. The program calls it first of the units; tests call it to start from the defaults.
void InitWbrelvar();
