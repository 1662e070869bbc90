#include "app/main/checkdirectories.h"

#include "base/dialogs/utilcrt.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/files/utilsys.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/utilstr.h"

namespace {

constexpr std::size_t kTempDirLength = 60;

bool Empty(const std::string& folder) {
  return TrimBlanks(folder).empty();
}

void FillEmpty(std::string& folder, const std::string& value) {
  if (Empty(folder)) folder = value;
}

void ReportUnless(bool usable, const char* message) {
  if (!usable) ShowError(message);
}

// The user is asked once for another folder; one that still cannot be written gives way to the
// environment's temporary folder for this run, so that no output fails for want of one.
void CheckTempDir() {
  if (FolderWritable(TempDir)) return;
  ShowError("invalid temporary directory configured");
  InputText("temporary directory", kTempDirLength, TempDir);
  if (!FolderWritable(TempDir)) TempDir = EnvironmentText("TEMP");
}

}  // namespace

void CheckDirectories(StartMode mode) {
  FillEmpty(TempDir, EnvironmentText("TEMP"));
  FillEmpty(CadDir, TempDir);
  const std::string start = AddBackslash(StartDir);
  FillEmpty(DbfDir, start);
  FillEmpty(PltDir, start);
  FillEmpty(EdiDir, start);
  FillEmpty(DefaultDataDir, start);
  const bool window = !RunsWithoutWindow(mode);
  if (window) ReportUnless(FolderWritable(CadDir), "invalid CAD Directory configured");
  ReportUnless(FolderUsable(DbfDir), "invalid DBF Directory configured");
  ReportUnless(FolderUsable(PltDir), "invalid PLT Directory configured");
  if (mode != StartMode::Usage) CheckTempDir();
  if (window) {
    ReportUnless(FolderWritable(EdiDir), "invalid EDI Directory configured");
    ReportUnless(FolderWritable(DefaultDataDir), "invalid Data Directory configured");
  }
  if (TablesInTempDir != 0) {
    HourglassOn();
    CopyFiles("*.dbf", DbfDir, TempDir);
    HourglassOff();
  }
}
