// The report engine's program launcher.

#include "base/report/launcher.h"

#include "base/dialogs/utilcrt.h"
#include "base/files/commandline.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "platform/system/process.h"
#include "platform/system/programsearch.h"

namespace {

std::string FailureReason(const platform::LaunchResult& result) {
  if (result.startError == ENOENT) return "program not found";
  if (result.startError != 0) return "start error " + IntText(result.startError);
  return "exit code " + IntText(result.exitStatus);
}

bool Reported(const std::string& file, const platform::LaunchResult& result) {
  if (result.Started()) return true;
  const std::string what =
      file.empty() ? "Cannot start " + PathInText(result.program)
                   : "Cannot open " + PathInText(file) + " with " + PathInText(result.program);
  ShowErrorBox(what + " (" + FailureReason(result) + ")");
  return false;
}

}  // namespace

bool ProgramAvailable(const std::string& program, bool emptyMeansDefault) {
  if (MeansDesktopDefault(program, emptyMeansDefault) || platform::ProgramExists(program)) {
    return true;
  }
  ShowError(PathInText(program) + " not found");
  return false;
}

void OpenWith(const std::string& program, bool emptyMeansDefault, const std::string& file) {
  if (MeansDesktopDefault(program, emptyMeansDefault)) {
    OpenDocumentReported(file);
  } else {
    StartProgramReported({program, file}, file);
  }
}

bool StartProgramReported(const std::vector<std::string>& argv, const std::string& file) {
  return Reported(file, {argv.front(), platform::StartProgram(argv)});
}

bool OpenDocumentReported(const std::string& file) {
  return Reported(file, platform::OpenDocument(file));
}

bool EditTextReported(const std::string& file) {
  return Reported(file, platform::EditText(file));
}
