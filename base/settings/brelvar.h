#pragma once
// The newer user settings, the recent-files list and the names of the unit systems. Plain
// globals that live for the whole run; texts are bytes in the DOS code page 850.

#include <array>
#include <cstdint>
#include <string>

extern std::uint16_t DatabaseMode;
extern std::string ExternalDatabase;
extern std::string WordProcessor;
extern std::string HtmlBrowser;
extern std::string ConfigDir;
extern std::string PrintoutDir;
extern std::string DefaultDataDir;
extern std::uint8_t EnterPassword;
extern std::uint16_t DateCode;
extern std::int32_t HeaderSpaceLines;
extern std::uint16_t TextDevice;
extern std::uint8_t TextDeviceWindow;
extern std::uint8_t SmallOnlineWindow;
extern std::uint8_t EnterDiagramLimits;
extern std::int32_t InputWindowScale;
extern std::uint16_t UnitSystem;  // 0..4; 1 is imperial
extern std::uint16_t HeaderMode;
extern std::int32_t AuxImageFormLeft;
extern std::int32_t AuxImageFormTop;
extern std::array<std::int32_t, 2> BrowseGridPos;  // row, column
extern std::uint16_t RevisionIndexStyle;
extern std::uint16_t DecimalMark;

inline constexpr int kRecentFileCount = 4;
extern std::array<std::string, kRecentFileCount + 1> RecentFiles;  // [1..4]
extern std::int32_t RecentMenuIndex;

extern std::uint16_t ViewerMode;
extern std::uint16_t CadTextMode;
extern std::uint8_t CadBatch;
extern std::uint16_t TextCharMode;  // 1 transliterate stored texts for display
extern std::int32_t DialogScale;
extern std::uint16_t AngleFormat;
extern std::int32_t Language;
extern std::int32_t DefaultView;

inline constexpr int kUnitSystemCount = 5;
extern std::array<std::string, kUnitSystemCount> UnitSystemNames;  // [0..4]

extern std::int32_t WindowMode;
extern std::int32_t TitleBlockStandard;
extern std::uint8_t SqrtQuiet;
extern std::uint8_t TablesInTempDir;
extern std::int32_t ScreenDpi;
extern std::uint8_t DbfWriteChecked;
extern std::uint8_t DbfWritable;
extern std::uint8_t SizeableDialogs;

// Values the configuration file stores without a label.
extern std::uint16_t ExcelDecimalMark;
extern std::uint8_t HideCurrentFile;
extern std::uint8_t SaveMenuLanguage;
extern std::string ManualDir;
extern std::int32_t SheetBorderCode;  // ISO 7200 frame: 0 "5 mm", 1 "10 mm"
extern std::int32_t ScreenSizeCode;
extern std::int32_t DialogSizeCode;
extern std::int32_t TextWindowSizeCode;
extern std::uint8_t NoPrinterQuery;  // no printer name shown, no job title set by the print form

// Start routine, after InitWbrelvar: sets every global above to its default and records the
// current directory in PrintoutDir, DefaultDataDir and ConfigDir, and ScreenDpi from the screen of
// the installed backend. Tests call it to start from the defaults.
void InitBrelvar();
