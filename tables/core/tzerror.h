#pragma once
// The table engine's one way of reporting failures: every routine calls ReportError with a code
// and a message ending in the failing operation in square brackets. Depending on two switches
// the reporter shows the error and halts the program, throws EDadavError, or only records it.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dadav {

class EDadavError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

extern std::uint16_t LastErrorCode;
extern std::string LastErrorMessage;
extern std::uint16_t PendingErrorCode;
extern bool ReportErrors;
extern bool ExceptionMode;
extern bool Halting;

void ReportError(std::uint16_t code, const std::string& message);
void HandleDadavError();
std::string ErrorText(std::uint16_t code);
std::string TakeLastMessage();
std::string TakeErrorText();
bool SetReportErrors(bool on);
bool SetExceptionMode(bool on);
[[noreturn]] void RaiseDadavError(const std::string& message);

// Shows the halt text (Windows-1252) in the platform's error box: modal in the window, one line
// on standard error on the command line.
void ShowHaltBox(const std::string& text, const std::string& caption);

// Runs before the process ends on a halt, so every open table gets its header and end mark.
using HaltCleanupProc = void (*)();
void SetHaltCleanup(HaltCleanupProc cleanup);

// Ends the process with the given status; tests replace it.
using HaltExitProc = void (*)(int status);
void SetHaltExit(HaltExitProc exitProc);

// Exit status for an error code: the code itself when 1..255, else 255.
int HaltStatus(std::uint16_t code);

}  // namespace dadav
