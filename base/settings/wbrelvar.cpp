#include "base/settings/wbrelvar.h"

#include "platform/files/osfiles.h"

std::string ProductCode;
std::string ShortName;
std::string LongTitle;
std::string FileExt;
std::string ProgVersion;
std::string CurrentFile;
std::string DataDir;
std::int32_t TempFileCounter;

std::string CadDir;
std::string DbfDir;
std::string EdiDir;
std::string PltDir;
std::string TempDir;
std::string BrelcorDir;
std::string StartDir;

std::array<std::string, kChoiceTextCount + 1> ChoiceTexts;
std::array<std::string, kWrapLineCount + 1> WrapLines;
std::array<std::string, kDrawingTextCount + 1> DrawingTexts;

std::uint8_t AbortFlag;
std::uint8_t FatalFlag;
std::uint8_t ErrorBoxOn;
std::uint8_t Modified;
std::uint8_t ArchiveMode;
std::uint8_t ArchiveFlag;
std::int32_t SelectedRecord;
char BrowseExitKey;
char ZoomKeyMode;
std::uint16_t DrawingPage;

std::uint16_t HelpLevel;
std::uint16_t PrinterInterface;
std::uint16_t HardcopyInterface;
std::uint16_t PrinterType;
std::uint16_t PrintingDensity;
std::uint16_t PrintingDensityVertical;
char RotateHardcopy;
std::int32_t FloatDigits;
std::uint16_t PrintoutStyle;
std::int32_t LinesPerPage;
std::int32_t GraphDriver;
std::int32_t GraphMode;
std::uint16_t HorizontalPixels;
std::uint16_t VerticalPixels;
std::uint16_t MaxColour;
std::uint8_t ColourGraphics;
std::uint16_t WinPrintMode;
std::int32_t ConfigSpare;

namespace {

void InitIdentity() {
  ProductCode = "BRELCOR";
  ShortName = "BRELCOR";
  LongTitle = "BRELCOR Engineering Software";
  FileExt = "EXT";
  ProgVersion = "1.0";
  CurrentFile = "NONAME";
  DataDir = "TRAIN";
  TempFileCounter = 0;
}

void InitFolders() {
  CadDir.clear();
  DbfDir.clear();
  EdiDir.clear();
  PltDir.clear();
  TempDir.clear();
  BrelcorDir.clear();
  StartDir = platform::os::CurrentFolder();
}

void InitTextArrays() {
  ChoiceTexts.fill(std::string(65, ' '));
  WrapLines.fill(std::string(64, ' '));
  DrawingTexts.fill(std::string());
}

void InitRunFlags() {
  AbortFlag = 0;
  FatalFlag = 0;
  ErrorBoxOn = 1;
  Modified = 0;
  ArchiveMode = 0;
  ArchiveFlag = 0;
  SelectedRecord = 1;
  BrowseExitKey = '0';
  ZoomKeyMode = '0';
  DrawingPage = 1;
}

void InitSettings() {
  HelpLevel = 1;
  PrinterInterface = 1;
  HardcopyInterface = 1;
  PrinterType = 3;
  PrintingDensity = 1;
  PrintingDensityVertical = 1;
  RotateHardcopy = 'J';
  FloatDigits = 3;
  PrintoutStyle = 1;
  LinesPerPage = 66;
  GraphDriver = 0;
  GraphMode = 0;
  HorizontalPixels = 0;
  VerticalPixels = 0;
  MaxColour = 16;
  ColourGraphics = 1;
  WinPrintMode = 1;
  ConfigSpare = 0;
}

}  // namespace

void InitWbrelvar() {
  InitTextArrays();
  InitFolders();
  InitIdentity();
  InitRunFlags();
  InitSettings();
}
