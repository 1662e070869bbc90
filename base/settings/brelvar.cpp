#include "base/settings/brelvar.h"

#include "platform/files/osfiles.h"
#include "platform/ui/screen.h"

std::uint16_t DatabaseMode;
std::string ExternalDatabase;
std::string WordProcessor;
std::string HtmlBrowser;
std::string ConfigDir;
std::string PrintoutDir;
std::string DefaultDataDir;
std::uint8_t EnterPassword;
std::uint16_t DateCode;
std::int32_t HeaderSpaceLines;
std::uint16_t TextDevice;
std::uint8_t TextDeviceWindow;
std::uint8_t SmallOnlineWindow;
std::uint8_t EnterDiagramLimits;
std::int32_t InputWindowScale;
std::uint16_t UnitSystem;
std::uint16_t HeaderMode;
std::int32_t AuxImageFormLeft;
std::int32_t AuxImageFormTop;
std::array<std::int32_t, 2> BrowseGridPos;
std::uint16_t RevisionIndexStyle;
std::uint16_t DecimalMark;
std::array<std::string, kRecentFileCount + 1> RecentFiles;
std::int32_t RecentMenuIndex;
std::uint16_t ViewerMode;
std::uint16_t CadTextMode;
std::uint8_t CadBatch;
std::uint16_t TextCharMode;
std::int32_t DialogScale;
std::uint16_t AngleFormat;
std::int32_t Language;
std::int32_t DefaultView;
std::array<std::string, kUnitSystemCount> UnitSystemNames;
std::int32_t WindowMode;
std::int32_t TitleBlockStandard;
std::uint8_t SqrtQuiet;
std::uint8_t TablesInTempDir;
std::int32_t ScreenDpi;
std::uint8_t DbfWriteChecked;
std::uint8_t DbfWritable;
std::uint8_t SizeableDialogs;

std::uint16_t ExcelDecimalMark;
std::uint8_t HideCurrentFile;
std::uint8_t SaveMenuLanguage;
std::string ManualDir;
std::int32_t SheetBorderCode;
std::int32_t ScreenSizeCode;
std::int32_t DialogSizeCode;
std::int32_t TextWindowSizeCode;
std::uint8_t NoPrinterQuery;

namespace {

void InitPrograms() {
  DatabaseMode = 1;
  ExternalDatabase = "C:\\RECTOOL\\RECTOOL.EXE";
  WordProcessor = "WRITE.EXE";
  HtmlBrowser.clear();
  ManualDir.clear();
}

void InitFolders() {
  const std::string current = platform::os::CurrentFolder();
  ConfigDir = current;
  PrintoutDir = current;
  DefaultDataDir = current;
}

void InitReportSettings() {
  EnterPassword = 0;
  DateCode = 3;
  HeaderSpaceLines = 0;
  TextDevice = 1;
  TextDeviceWindow = 0;
  SmallOnlineWindow = 0;
  EnterDiagramLimits = 0;
  HeaderMode = 1;
  DecimalMark = 1;
  ExcelDecimalMark = 2;
  ViewerMode = 0;
  CadTextMode = 2;
  CadBatch = 0;
  TextCharMode = 0;
  AngleFormat = 1;
  UnitSystem = 0;
  Language = 0;
}

void InitWindowSettings() {
  AuxImageFormLeft = 1;
  AuxImageFormTop = 1;
  BrowseGridPos = {1, 1};
  RevisionIndexStyle = 0;
  RecentFiles.fill(std::string());
  RecentMenuIndex = 0;
  DefaultView = 0;
  WindowMode = 0;
  TitleBlockStandard = 2;
  SqrtQuiet = 0;
  TablesInTempDir = 0;
  DbfWriteChecked = 0;
  DbfWritable = 0;
  SizeableDialogs = 0;
  HideCurrentFile = 0;
  SaveMenuLanguage = 0;
  SheetBorderCode = 1;
  ScreenSizeCode = 1;
  DialogSizeCode = 1;
  TextWindowSizeCode = 1;
  NoPrinterQuery = 0;
}

// "°" is 248 and "²" is 253 in code page 850.
void InitUnitSystemNames() {
  UnitSystemNames = {
      "metric (mm, N, MPa, Nmm, \xF8"
      "C)",
      "imperial (in, lbf, psi, lbfin, degF)",
      "metric (mm, kN, MPa, Nm, \xF8"
      "C)",
      "metric (mm, N, N/mm\xFD, Nmm, \xF8"
      "C)",
      "metric (mm, kN, N/mm\xFD, Nm, \xF8"
      "C)",
  };
}

}  // namespace

void InitBrelvar() {
  InitPrograms();
  InitFolders();
  InitReportSettings();
  InitWindowSettings();
  InitUnitSystemNames();
  ScreenDpi = platform::PrimaryScreen().logicalDpi;
  InputWindowScale = 100;
  DialogScale = 100;
}
