// The report engine's program launcher.

#include "base/report/launcher.h"

#include "base/dialogs/utilcrt.h"
#include "base/files/commandline.h"
#include "base/text/displaytext.h"
#include "platform/process.h"
#include "platform/programsearch.h"

bool ProgramAvailable(const std::string& program, bool emptyMeansDefault) {
  if (MeansDesktopDefault(program, emptyMeansDefault) || platform::ProgramExists(program)) {
    return true;
  }
  ShowError(PathInText(program) + " not found");
  return false;
}

void OpenWith(const std::string& program, bool emptyMeansDefault, const std::string& file) {
  if (MeansDesktopDefault(program, emptyMeansDefault)) {
    platform::OpenDocument(file);
  } else {
    platform::StartProgram({program, file});
  }
}
