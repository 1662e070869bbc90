#include "cad/layer/cadplot.h"

#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "base/dialogs/utilcrt.h"
#include "base/files/commandline.h"
#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadvar.h"
#include "platform/files/filelock.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/system/process.h"
#include "platform/system/programsearch.h"

std::vector<std::string> cad_split_command_line(const std::string& line) {
  return SplitCommandLine(line);
}

std::string cad_quote_command_word(const std::string& word) {
  return word.find(' ') == std::string::npos ? word : "\"" + word + "\"";
}

namespace {

constexpr int kPlotFileTries = 99;
constexpr std::string_view kPlotStem = "penwerk";

struct PlotFileClaim {
  std::string folder;
  platform::NameClaim claim;
};

std::string plot_file_stem(int n) {
  return std::string(kPlotStem) + (n == 1 ? "" : IntText(n));
}

// Puts the stem of the file written in place of the stem of the word naming the plot file.
void name_written_plot_file(std::vector<std::string>& argv, const std::string& stem) {
  for (std::size_t i = 1; i < argv.size(); ++i) {
    std::string& word = argv[i];
    const std::size_t cut = word.find_last_of("/\\") + 1;  // 0 without a folder
    const std::string name = LowerText(std::string_view(word).substr(cut));
    if (name == kPlotStem || name == std::string(kPlotStem) + ".dxf") {
      word = word.substr(0, cut) + stem + word.substr(cut + kPlotStem.size());
    }
  }
}

}  // namespace

std::string cad_find_plot_program(const std::string& name) {
  const bool bare = name.find('/') == std::string::npos;
  for (const std::string& candidate : {name, name + ".exe"}) {
    if (bare) {
      if (platform::ProgramExists(candidate)) return candidate;
      continue;
    }
    const std::string found = platform::ResolveFileName(candidate);
    if (platform::os::Accessible(found, F_OK)) return found;
  }
  return name;
}

std::string cad_plot_file_name() {
  static PlotFileClaim held;
  const std::string folder = AddBackslash(TempDir);
  if (held.folder != folder || held.claim.fd < 0) {
    if (held.claim.fd >= 0) ::close(held.claim.fd);
    held.folder = folder;
    held.claim = platform::ClaimFreeName(
        [&folder](int n) { return folder + plot_file_stem(n) + ".dxf"; }, 1, kPlotFileTries);
    if (held.claim.fd < 0) held.claim.number = 1;  // all taken: the plain name, as before
  }
  return folder + plot_file_stem(held.claim.number) + ".dxf";
}

void cad_start_plot_program() {
  std::uint16_t chosen = PlotCommandLines.Chosen;
  if (chosen < 1 || chosen > 5) chosen = 1;
  std::vector<std::string> argv = cad_split_command_line(PlotCommandLines.Lines[chosen]);
  if (!argv.empty()) argv[0] = cad_find_plot_program(argv[0]);
  const std::string written = CadFileName.substr(CadFileName.find_last_of('/') + 1);
  if (LowerText(written) != std::string(kPlotStem) + ".dxf") {
    name_written_plot_file(argv, written.substr(0, written.size() - 4));
  }
  int error = argv.empty() ? ENOENT : platform::StartProgram(argv);
  HourglassOff();
  if (error == 0) return;
  if (error == ENOENT || error == ENOTDIR) {
    ShowError("file not found: " +
              (argv.empty() ? std::string("no plot program configured") : PathInText(argv[0])));
  } else if (error == ENOMEM) {
    ShowError("out of memory !");
  } else {
    ShowError("Exec error " + IntText(error));
  }
  AbortFlag = 1;
}
