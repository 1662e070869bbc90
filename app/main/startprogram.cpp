#include "app/main/startprogram.h"

#include <string>

#include "app/main/checkdirectories.h"
#include "app/main/configfile.h"
#include "app/main/programidentity.h"
#include "app/main/screensize.h"
#include "base/dialogs/hilfebild.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/draw/breldraw.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/start/startfolders.h"
#include "base/text/numbertext.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadvar.h"
#include "calc/calcfile.h"
#include "calc/kv6rech.h"
#include "calc/resultsreport.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/ui/dialog.h"

namespace {

constexpr std::uint16_t kTabSeparatedCopy = 9;

void FillUsageText() {
  const std::vector<std::string> lines = UsageLines();
  for (std::size_t i = 0; i < lines.size(); ++i) ChoiceTexts[i + 1] = lines[i];
  for (std::size_t i = lines.size() + 1; i <= 22; ++i) ChoiceTexts[i].clear();
}

// The named file in; false when it was not taken (missing, unreadable, a folder, damaged).
bool LoadNamedFile() {
  AbortFlag = 0;
  if (!LoadCalcFile(CurrentFile)) return false;
  AbortFlag = 0;
  CurrentFile = BareFileName(CurrentFile);
  return true;
}

int ExitCodeOfOutput() {
  return AbortFlag == 0 && FatalFlag == 0 ? 0 : 1;
}

int ReportMode() {
  if (!LoadNamedFile()) return 1;
  TextDeviceWindow = 0;
  TextDevice = kTabSeparatedCopy;
  WriteResultsReport();
  return ExitCodeOfOutput();
}

// Succeeds only with a complete file: a device or drawing that writes none is a failure.
int CadMode(const CommandLine& line) {
  if (!CadDeviceAccepted(line.device)) {
    ShowError("CAD type " + IntText(line.device) + " unknown: " + CadDeviceList(" "));
    return 1;
  }
  if (line.device == kCadScreen) {
    ShowError(
        "CAD type 3 (screen) draws in the program's window, which a command-line run "
        "does not open: start wkv6 with the file alone to see the drawing");
    return 1;
  }
  if (!LoadNamedFile()) return 1;
  CadFileName.clear();
  CadBatch = 1;
  OutputDrawing(line.device, line.drawing);
  CadBatch = 0;
  if (ExitCodeOfOutput() != 0 || CadFileName.empty() || !FileThere(CadFileName)) return 1;
  return 0;
}

bool HasExtension(const std::string& path) {
  return BareFileName(path).size() < path.size() - DirOfPath(path).size();
}

// The window with the named file; a file that does not load is taken as the name of a new one.
std::optional<int> FileMode() {
  if (!HasExtension(CurrentFile)) {
    ShowError("extension ." + FileExt + " missing");
    return 1;
  }
  ErrorBoxOn = 0;
  const bool loaded = LoadCalcFile(CurrentFile);
  if (loaded) RedrawCurrentDrawing();
  ArchiveMode = 1;
  ErrorBoxOn = 1;
  if (!loaded) {
    AbortFlag = 0;
    CheckOutputFileName(CurrentFile);
    if (AbortFlag != 0) return 1;
  }
  return std::nullopt;
}

// Read, not loaded: the start calculates once after both, so "init" over "null" costs one
// calculation instead of three.
void LoadDefaultFiles() {
  if (FileThere(AddBackslash(DataDir) + "null." + FileExt)) {
    ReadCalcFile("null");
    CurrentFile.clear();
  }
  if (FileThere(AddBackslash(BrelcorDir) + "init." + FileExt)) {
    const std::string dataDir = DataDir;
    DataDir = BrelcorDir;
    ReadCalcFile("init");
    DataDir = dataDir;
    CurrentFile.clear();
  }
}

std::optional<int> NormalStart() {
  if (ArchiveMode != 0) {
    DataDir.clear();
    return std::nullopt;
  }
  if (EnterPassword != 0) {
    AskUserId();
    if (const std::optional<int> code = platform::ExitRequest()) return code;
  }
  HourglassOn();
  DataDir = AddBackslash(DefaultDataDir) + DataDir;
  Drawer->grSetWindow(true, true, 0.1L, 0.05L, 0.95L, 0.95L, 0, 0, 36.9L, 32);
  Drawer->grDrawLogo();
  LoadDefaultFiles();
  return std::nullopt;
}

std::optional<int> CarryOutCommandLine(const CommandLine& line) {
  if (line.mode == StartMode::Plain) return std::nullopt;
  if (line.mode == StartMode::Usage) {
    FillUsageText();
    ShowInfoScreen();
    return 0;
  }
  // The start said that the shipped files or the data folder are missing: an output made now,
  // such as a report without its message texts, would replace a complete one and pass for
  // complete.
  if (RunsWithoutWindow(line.mode) && !StartFoldersComplete()) return 1;
  if (!platform::os::Nameable(line.file)) {
    RefuseUnusableName(line.hostFile);
    return 1;
  }
  // Absolute, so that the name keeps telling itself apart from a bare name in DataDir; a file
  // found under another letter case goes by the name it has on disk.
  CurrentFile = platform::ResolveFileName(AbsolutePath(line.file));
  DataDir.clear();
  switch (line.mode) {
    case StartMode::Report:
      return ReportMode();
    case StartMode::Cad:
      return CadMode(line);
    case StartMode::File:
      return FileMode();
    default:
      return std::nullopt;
  }
}

void ShowStartImage() {
  if (!FileThere(AddBackslash(PltDir) + "start.plt")) return;
  Drawer->grClear();
  ShowAuxImage("start");
}

}  // namespace

void ReadConfigKeepingStartFolders() {
  const std::string tempDir = TempDir, cadDir = CadDir, dbfDir = DbfDir, pltDir = PltDir,
                    brelcorDir = BrelcorDir;
  ReadConfig();
  for (auto [folder, start] :
       {std::pair{&TempDir, &tempDir}, std::pair{&CadDir, &cadDir}, std::pair{&DbfDir, &dbfDir},
        std::pair{&PltDir, &pltDir}, std::pair{&BrelcorDir, &brelcorDir}}) {
    if (folder->find_first_not_of(' ') == std::string::npos) *folder = *start;
  }
  // A file that ends before the finishing step leaves no window size.
  DefaultWindowSize();
}

std::optional<int> StartProgram(const CommandLine& line) {
  SetProgramIdentity();
  AbortFlag = 0;
  ErrorBoxOn = 1;
  CheckDirectories(line.mode);
  if (EnterPassword == 0) DataDir.clear();
  if (const std::optional<int> code = CarryOutCommandLine(line)) return code;
  if (const std::optional<int> code = NormalStart()) return code;
  AbortFlag = 0;
  CalculateP3G();
  AbortFlag = 0;
  Modified = 0;
  ShowStartImage();
  return std::nullopt;
}
