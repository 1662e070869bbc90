#include "tables/core/tzerror.h"

#include <cstdlib>
#include <string_view>

#include "platform/ui/dialog.h"

namespace dadav {

std::uint16_t LastErrorCode = 0;
std::string LastErrorMessage;
std::uint16_t PendingErrorCode = 0;
bool ReportErrors = true;
bool ExceptionMode = false;
bool Halting = false;

namespace {

void ExitProcess(int status) {
  std::exit(status);
}

HaltCleanupProc haltCleanup = nullptr;
HaltExitProc haltExit = &ExitProcess;

struct CodeText {
  std::uint16_t code;
  std::string_view text;
};

constexpr CodeText kCodeTexts[] = {
    {1, "Invalid DOS function code"},
    {2, "File not found"},
    {3, "Path not found"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {6, "Invalid file handle"},
    {8, "Not enough memory"},
    {9, "Memory block address invalid"},
    {10, "Environment invalid"},
    {11, "Format invalid"},
    {12, "Invalid file access code"},
    {13, "Data invalid"},
    {14, "Unknown unit"},
    {15, "Invalid drive number"},
    {16, "Cannot remove current directory"},
    {17, "Cannot rename across drives"},
    {18, "Too many open files"},
    {19, "Disk write-protected"},
    {20, "Unknown unit"},
    {21, "Drive not ready"},
    {22, "Unknown command"},
    {23, "CRC error in data"},
    {24, "Bad drive request structure length"},
    {25, "Disk seek error"},
    {26, "Unknown media type"},
    {27, "Disk sector not found"},
    {28, "Printer out of paper"},
    {29, "Device write fault"},
    {30, "Device read fault"},
    {31, "General failure"},
    {32, "File sharing violation"},
    {33, "File lock violation"},
    {34, "Disk change invalid"},
    {35, "File Control Block unavailable"},
    {36, "File sharing buffer overflow"},
    {50, "Unsupported network request"},
    {51, "Remote machine not listening"},
    {52, "Duplicate name on network"},
    {53, "Network name not found"},
    {54, "Network busy"},
    {55, "Device no longer exists on network"},
    {56, "Net-Bios command limit exceeded"},
    {57, "Error in network adapter hardware"},
    {58, "Incorrect response from network"},
    {59, "Unexpected network error"},
    {60, "Remote adapter incompatible"},
    {80, "File exists"},
    {100, "Disk read error"},
    {101, "Disk write error (probable cause: Disk Full)."},
    {102, "File not assigned"},
    {103, "File not open"},
    {104, "File not open for input"},
    {105, "File not open for output"},
    {106, "Invalid numeric format"},
    {150, "Disk write-protected"},
    {151, "Unknown unit"},
    {152, "Drive not ready"},
    {153, "Unknown command"},
    {154, "CRC error in data"},
    {155, "Bad drive request structure length"},
    {156, "Disk seek error"},
    {157, "Unknown media type"},
    {158, "Disk sector not found"},
    {159, "Printer out of paper"},
    {160, "Device write fault"},
    {161, "Device read fault"},
    {162, "File sharing violation"},
    {200, "Division by zero error"},
    {201, "Range check error"},
    {202, "Stack overflow error"},
    {203, "Heap overflow error"},
    {204, "Invalid pointer operation"},
    {205, "Floating point overflow"},
    {206, "Floating point underflow"},
    {207, "Invalid floating point operation"},
    {208, "Overlay-manager not installed"},
    {209, "Overlay file read error"},
    {210, "Not a dBASE data file"},
    {211, "Invalid database field type encountered"},
    {212, "Request beyond range"},
    {213, "End of file found unexpectedly"},
    {214, "File already in use"},
    {215, "No database in use"},
    {216, "GP Fault"},
    {217, "Insufficient memory"},
    {218, "Invalid pointer specified"},
    {219, "Cannot duplicate file handle"},
    {220, "Invalid parameter"},
    {221, "Index file not open"},
    {222, "Corrupted index file"},
    {223, "Index version mismatch"},
    {224, "Cyclical relationship detected"},
    {225, "Exclusive Use() required"},
    {226, "BROWSE not active"},
    {227, "Insufficient disk space "},
    {228, "Unbalanced Push/Pop operation "},
    {229, "dBASE IV memo files not supported"},
    {230, "No dBASE memory variables loaded"},
    {231, "Screen library not open"},
    {239, "Missing colon in time"},
    {240, "Non-numeric character in time"},
    {241, "Invalid time specified"},
    {242, "Negative time specified"},
    {243, "TimeDiff result negative"},
    {254, "Dadav internal error"},
    {266, "Invalid size"},
    {1003, "Invalid memo address"},
    {1004, "Disk full"},
    {1005, "Memo file write error"},
    {1007, "Memo file is already open"},
    {1012, "Insufficient disk space to pack memo file"},
    {1017, "Cannot lock memo file"},
    {1018, "Cannot unlock memo file"},
    {1019, "Invalid memo operation: database not open or no memo field in database"},
    {1100, "Not a valid operation on Linked List"},
    {1101, "Virtual File Manager Unit not Linked in"},
    {1102, "Virtual File Memory Management Error"},
    {1103, "Invalid Operation "},
    {1200, "Record not locked"},
    {1201, "File not locked"},
    {1202,
     "Semaphore file error. Possible solutions: log into network or load SHARE.EXE before "
     "running Windows"},
    {1300, "File format not supported"},
};

std::string_view CodeMeaning(std::uint16_t code) {
  for (const CodeText& entry : kCodeTexts) {
    if (entry.code == code) return entry.text;
  }
  if (code >= 1203 && code <= 1299) return "Network Error";
  return "Undefined error";
}

}  // namespace

std::string ErrorText(std::uint16_t code) {
  if (code == 0) return {};
  std::string text = "Error # ";
  text += std::to_string(code);
  text += " (";
  text += CodeMeaning(code);
  text += ")";
  return text;
}

void ReportError(std::uint16_t code, const std::string& message) {
  LastErrorCode = code;
  PendingErrorCode = code;
  LastErrorMessage = message;
  if (ReportErrors) HandleDadavError();
}

std::string TakeLastMessage() {
  std::string message = std::move(LastErrorMessage);
  LastErrorMessage.clear();
  PendingErrorCode = 0;
  return message;
}

std::string TakeErrorText() {
  if (PendingErrorCode == 0) return {};
  std::string text = ErrorText(PendingErrorCode);
  text += "\r\n";
  text += TakeLastMessage();
  return text;
}

void HandleDadavError() {
  if (Halting) return;
  PendingErrorCode = LastErrorCode;
  if (LastErrorCode == 0) return;
  std::string text = ErrorText(LastErrorCode) + "\r\n" + TakeLastMessage();
  if (ExceptionMode) RaiseDadavError(text);
  ShowHaltBox(text, "Program halted.");
  Halting = true;
  int status = HaltStatus(LastErrorCode);
  if (haltCleanup != nullptr) haltCleanup();
  haltExit(status);
}

bool SetReportErrors(bool on) {
  bool old = ReportErrors;
  ReportErrors = on;
  return old;
}

bool SetExceptionMode(bool on) {
  bool old = ExceptionMode;
  ExceptionMode = on;
  return old;
}

void RaiseDadavError(const std::string& message) {
  throw EDadavError(message);
}

void ShowHaltBox(const std::string& text, const std::string& caption) {
  platform::Dialogs().ShowBox(
      {caption, text, platform::MessageButtons::Ok, platform::MessageIcon::Error});
}

void SetHaltCleanup(HaltCleanupProc cleanup) {
  haltCleanup = cleanup;
}

void SetHaltExit(HaltExitProc exitProc) {
  haltExit = exitProc != nullptr ? exitProc : &ExitProcess;
}

int HaltStatus(std::uint16_t code) {
  return (code >= 1 && code <= 255) ? code : 255;
}

}  // namespace dadav
