// The commands of the OLE menu on the spreadsheet stand-in.
#include "app/spreadsheet/spreadsheetlink.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/dialogs/helperr.h"
#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/resultsreport.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"

std::unique_ptr<SpreadsheetApp> ExcelApp;

namespace {

const char* const kNotFound = "File not found. Use \"File->Save\"";
const char* const kImportNote =
    "Nothing is imported: data go from KV6 to the spreadsheet only. Enter the values in the "
    "input form or open a calculation file (File -> Open).";

void RefuseExport() {
  ShowPlainText(kNotFound);
  AbortFlag = 1;
}

void RefuseStart() {
  ShowError("Could not start Excel");
  AbortFlag = 1;
}

// The lines as a line reader gives them: an empty file still has one empty line, and a last line
// end adds none.
std::vector<std::string_view> FileLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  do {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  } while (!bytes.empty());
  return lines;
}

// Puts the device settings back however the report ended.
class DeviceSettingsKept {
 public:
  DeviceSettingsKept() : window_(TextDeviceWindow), device_(TextDevice) {}
  ~DeviceSettingsKept() {
    TextDeviceWindow = window_;
    TextDevice = device_;
  }
  DeviceSettingsKept(const DeviceSettingsKept&) = delete;
  DeviceSettingsKept& operator=(const DeviceSettingsKept&) = delete;

 private:
  std::uint8_t window_;
  std::uint16_t device_;
};

void ReportIntoWorkbook(SpreadsheetApp& app) {
  const DeviceSettingsKept kept;
  TextDeviceWindow = 0;
  TextDevice = 6;
  WriteResultsReport();
  if (AbortFlag != 0) return;
  app.workbooks().add();
  app.workbooks().OpenText(AddBackslash(TempDir) + "$$" + IntText(TempFileCounter) + ".txt");
}

}  // namespace

void StartSpreadsheet() {
  AbortFlag = 0;
  if (CurrentFile.empty()) {
    ShowInfo(
        "You must save your input data before you can use Excel interface (Menu \"File -> "
        "Save\")");
    AbortFlag = 1;
    return;
  }
  HourglassOn();
  std::unique_ptr<SpreadsheetApp> app = CreateSpreadsheetApp();
  HourglassOff();
  if (!app) {
    RefuseStart();
    return;
  }
  ExcelApp = std::move(app);
}

void ExportCalcFileToSpreadsheet() {
  AbortFlag = 0;
  if (Modified != 0) WriteCalcFile(CurrentFile);
  if (AbortFlag == 0) ExportDataToExcel(CurrentFile);
}

void ExportDataToExcel(const std::string& name) {
  if (name.empty()) {
    RefuseExport();
    return;
  }
  const std::string path = platform::ResolveFileName(CalcFileOfName(name));
  std::string bytes;
  if (!platform::os::ReadWholeFile(path, bytes)) {
    RefuseExport();
    return;
  }
  if (!ExcelApp) {
    RefuseStart();
    return;
  }
  ExcelApp->visible = true;
  ExcelApp->workbooks().add();
  std::int32_t row = 0;
  for (std::string_view line : FileLines(bytes)) {
    ExcelApp->cells(++row, 1).value(ToDisplayText(line));
    if (AbortFlag != 0) break;
  }
  ExcelApp->Publish();
}

void ImportFromSpreadsheet() {
  ShowPlainText(kImportNote);
}

void PrintoutToExcel() {
  AbortFlag = 0;
  if (FatalFlag != 0) {
    ShowCalcMessages();
    return;
  }
  const std::unique_ptr<SpreadsheetApp> app = CreateSpreadsheetApp();
  if (!app) {
    RefuseStart();
    return;
  }
  app->visible = true;
  app->workbooks().add();
  ReportIntoWorkbook(*app);
  const std::uint8_t failed = AbortFlag;
  app->Publish();
  AbortFlag = std::max(AbortFlag, failed);
}
