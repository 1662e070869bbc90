#include "base/report/reportdevice.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/commandline.h"
#include "base/files/listfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/report/launcher.h"
#include "base/report/showtextfile.h"
#include "base/report/textprint.h"
#include "base/report/textreport.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "platform/files/codepage.h"
#include "platform/files/filelock.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "platform/print/rawprint.h"
#include "platform/system/process.h"
#include "platform/system/programsearch.h"

namespace {

constexpr std::uint16_t kChoiceHelp = 1050;
constexpr std::uint16_t kSinglePageHelp = 1060;
constexpr std::uint16_t kFileDialogHelp = 1070;

bool reportOpen = false;
int tempNameLock = -1;                // descriptor holding the lock on the temporary report name
std::vector<int> claimedForRun;       // claims on names handed on, held until the program ends
std::string userFileName;             // the user's file being written (devices 3, 6, 7, 9)
bool userFileWhole = false;           // it replaces the old file only when complete
std::uintmax_t printerBytesSent = 0;  // text printer: bytes of the report already sent
bool printerSetupSent = false;

const char* const kDeviceTexts[] = {
    "Screen",   "Text printer", "File", "Windows printer", "external word processor",
    "TXT File", "HTML File"};

// The report dialogs may move DataDir to the report's folder and clear archive mode; the next
// File Save must still write the calculation where it came from.
class FileStateGuard {
 public:
  FileStateGuard()
      : fileExt_(FileExt),
        currentFile_(CurrentFile),
        startDir_(StartDir),
        dataDir_(DataDir),
        archiveMode_(ArchiveMode) {}
  ~FileStateGuard() {
    FileExt = fileExt_;
    CurrentFile = currentFile_;
    StartDir = startDir_;
    DataDir = dataDir_;
    ArchiveMode = archiveMode_;
  }
  FileStateGuard(const FileStateGuard&) = delete;
  FileStateGuard& operator=(const FileStateGuard&) = delete;

 private:
  std::string fileExt_, currentFile_, startDir_, dataDir_;
  std::uint8_t archiveMode_;
};

std::string TempFolder() {
  return AddBackslash(TempDir);
}
std::string OutwinName() {
  return TempFolder() + "outwin.txt";
}

void ReleaseTempName() {
  if (tempNameLock >= 0) ::close(tempNameLock);
  tempNameLock = -1;
}

// "$$$" + (counter + 1) + ".txt", or the next number another running copy has not claimed;
// the counter follows, so the converted copy "$$n.txt" takes the same number. The claim lasts
// for the run, as the copy stays for the user to pick up.
void ClaimNumberedReportName() {
  constexpr int kTries = 100;
  const platform::NameClaim claim =
      platform::ClaimFreeName([](int n) { return TempFolder() + "$$$" + IntText(n) + ".txt"; },
                              TempFileCounter + 1, TempFileCounter + kTries);
  if (claim.fd >= 0) {
    claimedForRun.push_back(claim.fd);
    TempFileCounter = claim.number - 1;
  }
  ReportFileName = claim.name;
}

void ChooseUserFile(const char* extension) {
  SetHelpNumber(kFileDialogHelp);
  std::string fullName;
  {
    FileStateGuard guard;
    FileExt = extension;
    SaveFileDialog("", fullName);
  }
  if (AbortFlag == 0) ReportFileName = fullName;
}

// A fresh temporary report file, created once to check that it can be written.
void PrepareTempFile() {
  std::string name;
  TempReportName(name);
  ListFile.Assign(name);
  RewriteOrFail(ListFile);
  if (AbortFlag == 0) ListFile.Close();
}

void PrepareFixedFile(const std::string& name) {
  ReportFileName = name;
  ListFile.Assign(name);
  RewriteOrFail(ListFile);
  if (AbortFlag == 0) ListFile.Close();
}

bool OpenOnDevice(std::uint16_t device) {
  if (device != 2) SinglePageFlag = 0;
  switch (device) {
    case 1:
    case 4:
    case 5:
      PrepareTempFile();
      return AbortFlag == 0;
    case 2: {
      SetHelpNumber(kSinglePageHelp);
      const bool single = AskYesNo("single page printing ?");
      if (AbortFlag != 0) return false;
      SinglePageFlag = single ? 1 : 0;
      std::string name;  // named only now: a cancelled question must leave no file behind
      TempReportName(name);
      ListFile.Assign(name);
      printerBytesSent = 0;
      printerSetupSent = false;
      return true;
    }
    case 3:
      ChooseUserFile("txt");
      ReportToUserFile = 1;
      break;
    case 6:
    case 9:
      if (TextDeviceWindow != 0) {
        ChooseUserFile("txt");
        ReportToUserFile = 1;
      } else {
        SetHelpNumber(kFileDialogHelp);
        ClaimNumberedReportName();
      }
      break;
    case 7:
      if (!HtmlBrowser.empty()) {
        SetHelpNumber(kFileDialogHelp);
        ReportFileName = TempFolder() + ShortName + ".htm";
        CheckOutputFileName(ReportFileName);
      } else {
        ChooseUserFile("htm");
      }
      break;
    case 8:
      PrepareFixedFile(TempFolder() + "OUTDOS.TXT");
      return AbortFlag == 0;
    default:
      AbortFlag = 1;
      return false;
  }
  if (AbortFlag != 0) return false;
  userFileName = ReportFileName;
  // A file the user named or reads in the browser is put in place complete; a numbered name is
  // claimed by the file there and is written in place.
  userFileWhole = ReportToUserFile != 0 || device == 7;
  if (userFileWhole) {
    ListFile.AssignWhole(ReportFileName);
  } else {
    ListFile.Assign(ReportFileName);
  }
  return true;
}

std::uint16_t ResolveDevice(std::uint16_t device) {
  if (device != 0) return device;
  std::uint16_t chosen = TextDevice;
  if (TextDeviceWindow != 0) {
    ChooseItem("Device", 7, chosen);
    if (AbortFlag != 0) return 0;
  }
  return chosen == 0 ? 1 : chosen;
}

std::string ReadFrom(const std::string& name, std::uintmax_t offset) {
  std::string bytes;
  platform::os::ReadWholeFile(name, bytes, static_cast<off_t>(offset));
  return bytes;
}

std::int32_t PrinterPort() {
  return static_cast<std::int32_t>(PrinterInterface);
}

// A device file takes the printer's own bytes, the set-up file first; the print system takes
// UTF-8 text and would print the set-up file's control bytes as text.
// The job file is made afresh beside the report and removed once sent.
bool SendJob(const std::string& bytes) {
  platform::RawPrinter& printer = platform::RawPrinterPort();
  const bool raw = printer.HasDeviceFile(PrinterPort());
  std::string jobName;
  if (platform::WriteFreshFile(ReportFileName + ".job",
                               raw ? bytes : platform::Cp1252ToUtf8(ToDisplayText(bytes)),
                               jobName) != 0) {
    return false;
  }
  const bool sent =
      raw ? printer.SendRaw(PrinterPort(), jobName) : printer.SendText(PrinterPort(), jobName);
  platform::os::Unlink(jobName);
  return sent;
}

// The printer set-up file goes ahead of the first job on a device file; then the bytes not yet
// sent.
bool SendPendingBytes() {
  if (!printerSetupSent) {
    printerSetupSent = true;
    const std::string setup = platform::ResolveFileName("TEXT.HXP");
    if (platform::RawPrinterPort().HasDeviceFile(PrinterPort()) &&
        platform::os::Accessible(setup, R_OK) &&
        !platform::RawPrinterPort().SendRaw(PrinterPort(), setup)) {
      return false;
    }
  }
  const std::string bytes = ReadFrom(ReportFileName, printerBytesSent);
  if (bytes.empty()) return true;
  const bool sent = SendJob(bytes);
  printerBytesSent += bytes.size();
  return sent;
}

void PrinterSendFailed() {
  ShowError("file write error");
  AbortFlag = 1;
}

// The copy that other programs read: UTF-8 text. A file the user named is that already.
void CopyReadable(const std::string& destination) {
  if (ReportToUserFile != 0) {
    CopyFile(ReportFileName, destination);
  } else {
    CopyTextFileConverted(ReportFileName, destination);
  }
}

void HandOn(std::uint16_t device) {
  switch (device) {
    case 1:
      CopyTextFileConverted(ReportFileName, OutwinName());
      if (AbortFlag == 0) ShowTextFileViewer(ReportFileName);
      platform::os::Unlink(ReportFileName);
      break;
    case 2:
      if (!SendPendingBytes()) PrinterSendFailed();
      platform::os::Unlink(ReportFileName);
      break;
    case 3:
    case 8:
      CopyReadable(OutwinName());
      ErrorBoxOn = 1;
      break;
    case 4:
      PrintTextFile(ReportFileName);
      platform::os::Unlink(ReportFileName);
      break;
    case 5:
      if (!ProgramAvailable(WordProcessor, true)) return;
      HourglassOn();
      CopyTextFileConverted(ReportFileName, OutwinName());
      if (AbortFlag == 0) OpenWith(WordProcessor, true, OutwinName());
      break;
    case 6:
      ++TempFileCounter;
      CopyReadable(TempFolder() + "$$" + IntText(TempFileCounter) + ".txt");
      break;
    case 9:
      ++TempFileCounter;
      CheckOldOutputWritable(CurrentFile + ".txt");
      if (AbortFlag == 0) CopyReadable(CurrentFile + ".txt");
      break;
    case 7:
      if (HtmlBrowser.empty() || !ProgramAvailable(HtmlBrowser, false)) return;
      HourglassOn();
      OpenWith(HtmlBrowser, false, ReportFileName);
      break;
    default:
      break;
  }
}

// A stopped report must not look complete: its files go. A file written whole was never put in
// place, and the old one stays.
void DiscardReport(std::uint16_t device) {
  if (userFileWhole) return;
  if (!userFileName.empty()) {
    platform::os::Unlink(userFileName);
  } else if (device != 0) {
    platform::os::Unlink(ReportFileName);
  }
}

// A report lost to a full disk must not vanish without a word.
void ReportWriteFailure() {
  if (ReportWriteResult == 0) return;
  ShowError(ReportWriteResult == IoWriteError ? "disk full" : "file write error");
  AbortFlag = 1;
}

void EndReport() {
  ReleaseTempName();
  ReportWriteResult = 0;
  userFileName.clear();
  userFileWhole = false;
  ReportToUserFile = 0;
  ReportDeviceCode = 1;
  HtmlTableOpen = 0;
  reportOpen = false;
  HourglassOff();
}

}  // namespace

void TempReportName(std::string& name) {
  ReleaseTempName();
  constexpr int kTries = 11;
  const platform::NameClaim claim = platform::ClaimFreeName(
      [](int n) { return TempFolder() + "$OUT" + IntText(n) + ".TMP"; }, 1, kTries);
  tempNameLock = claim.fd;
  name = claim.name;
  ReportFileName = name;
}

void SendPrinterPagesSoFar() {
  if (!reportOpen || ReportDeviceCode != 2) return;
  if (!ListFile.Flush() || !SendPendingBytes()) PrinterSendFailed();
}

void OpenReport(std::uint16_t device, const std::string& /*name*/) {
  for (int i = 0; i < 7; ++i) ChoiceTexts[i + 1] = kDeviceTexts[i];
  if (device == 90) return;
  if (reportOpen) {
    const std::uint8_t abort = AbortFlag;
    AbortFlag = 1;
    CloseReport();
    AbortFlag = abort;
  }
  ReportWriteResult = 0;
  SetHelpNumber(kChoiceHelp);
  ReportDeviceCode = ResolveDevice(device);
  if (AbortFlag != 0) {
    EndReport();
    return;
  }
  userFileName.clear();
  userFileWhole = false;
  ReportToUserFile = 0;
  HtmlTableOpen = 0;
  if (!OpenOnDevice(ReportDeviceCode)) {
    ReleaseTempName();
    ReportDeviceCode = 1;
    userFileName.clear();
    userFileWhole = false;
    ReportToUserFile = 0;
    return;
  }
  ReportLineCount = 0;
  ReportPageNo = 0;
  reportOpen = true;
}

void CloseReport() {
  const std::uint16_t device = ReportDeviceCode;
  if (AbortFlag == 0) {
    const bool formFeedDevice = device == 1 || device == 2 || device == 4;
    if (formFeedDevice && ReportLineCount > 0 && (HeaderMode == 2 || PrintoutStyle == 4)) {
      ReportWriteText("\f");
    }
    if (IsHtmlDevice(device)) {
      CloseHtmlTable();
      ReportWrite("</BODY>");
      ReportWrite("</HTML>");
    }
  }
  const bool written = ListFile.IsOpen();
  if (AbortFlag != 0) {
    ListFile.Discard();
  } else {
    ListFile.Close();
  }
  if (written && ReportWriteResult == 0) ReportWriteResult = ListFile.IoResult();
  ReportWriteFailure();
  if (AbortFlag != 0) {
    DiscardReport(device);
  } else {
    HandOn(device);
  }
  EndReport();
}
