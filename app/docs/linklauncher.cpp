#include "app/docs/linklauncher.h"

#include <sys/stat.h>

#include "base/files/commandline.h"
#include "base/report/launcher.h"
#include "cad/layer/cadplot.h"
#include "platform/files/osfiles.h"

namespace {

bool NamesExistingFile(const std::string& text) {
  struct stat info {};
  return platform::os::Stat(text, info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> ProgramWords(const std::string& program) {
  if (NamesExistingFile(program)) return {program};
  return cad_split_command_line(program);
}

}  // namespace

void ExecLinkProgram(const std::string& program, const std::string& file) {
  std::vector<std::string> argv = ProgramWords(program);
  if (argv.empty()) return;
  if (MeansDesktopDefault(argv.front(), false)) {
    ExecLinkFile(file);
    return;
  }
  if (!file.empty()) argv.push_back(file);
  StartProgramReported(argv, file);
}

void ExecLinkFile(const std::string& file) {
  if (!file.empty()) OpenDocumentReported(file);
}
