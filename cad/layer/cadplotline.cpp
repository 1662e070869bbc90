#include "cad/layer/cadplotline.h"

#include <cstdint>
#include <span>

#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadplot.h"
#include "platform/files/osfiles.h"
#include "platform/system/commandscript.h"

namespace {

constexpr std::size_t kLongestLine = 60;
constexpr std::uint16_t kSerial = 1;
constexpr std::uint16_t kParallel = 2;
constexpr std::uint16_t kFile = 3;
constexpr std::uint16_t kPostScript = 2;

// What the prompts ask, with the answers a plain line to a parallel printer needs.
struct PlotAnswers {
  std::uint16_t program = 2;  // 1 the Windows build, 2 the DOS build
  std::string folder;
  std::uint16_t destination = 1;
  std::uint16_t interface = kParallel;
  std::uint16_t port = 1;
  std::string file;
  double scale = 1.0;
  bool rotate = false;
  double x = 0;
  double y = 0;
  double text_factor = 1.0;
  std::string font;
};

// The folder of the line's program: its first word up to the last "/" or "\".
std::string program_folder(const std::string& line) {
  const std::vector<std::string> words = cad_split_command_line(line);
  if (words.empty()) return {};
  const std::size_t cut = words[0].find_last_of("/\\");
  return cut == std::string::npos ? std::string() : words[0].substr(0, cut);
}

std::string program_stem(const PlotAnswers& a) {
  return a.program == 1 ? "wpenwerk" : "penwerk";
}

// The program is there as "penwerk.exe" or as "penwerk", in any letter case.
bool program_found(const std::string& folder, const std::string& stem) {
  const std::string path = AddBackslash(folder) + stem;
  return FileThere(path + ".exe") || FileThere(path);
}

bool ask_program(PlotAnswers& a) {
  ChoiceTexts[1] = "WPENWERK.EXE (Windows)";
  ChoiceTexts[2] = "PENWERK.EXE (MS-DOS)";
  ChooseItem("PENWERK/WPENWERK", 2, a.program);
  if (AbortFlag) return false;
  const std::string stem = program_stem(a);
  do {
    SetHelpNumber(2080);
    InputText("Program directory of " + stem + ".exe", 40, a.folder);
    if (AbortFlag) return false;
    if (program_found(a.folder, stem)) return true;
    CheckFileReadable(AddBackslash(a.folder) + stem + ".exe");
  } while (true);
}

bool choose(std::uint16_t help, const std::string& title, std::span<const char* const> items,
            std::uint16_t& index) {
  std::int32_t n = 0;
  for (const char* item : items) ChoiceTexts[static_cast<std::size_t>(++n)] = item;
  SetHelpNumber(help);
  ChooseItem(title, n, index);
  return AbortFlag == 0;
}

bool ask_destination(PlotAnswers& a) {
  if (!choose(2090, "destination code", kPlotDestinations, a.destination) ||
      !choose(2110, "output interface", kPlotInterfaces, a.interface)) {
    return false;
  }
  if (a.interface == kFile) {
    SetHelpNumber(2130);
    InputText("destination file name", 30, a.file);
  } else {
    SetHelpNumber(2120);
    InputWord(a.interface == kSerial ? "COM-Port" : "LPT-Port", a.port, 1, 4);
  }
  return AbortFlag == 0;
}

bool ask_number(std::uint16_t help, const std::string& prompt, double& value, double lo,
                double hi) {
  SetHelpNumber(help);
  InputDouble(prompt, value, lo, hi);
  return AbortFlag == 0;
}

bool ask_layout(PlotAnswers& a) {
  if (!ask_number(2140, "scale (0=fit limits)", a.scale, 0, 1000)) return false;
  SetHelpNumber(2145);
  AskYesNoFlag("rotate 90 degrees ?", a.rotate);
  if (AbortFlag) return false;
  if (!ask_number(2150, "reference point shifting x direction", a.x, -1e8, 1e8) ||
      !ask_number(2150, "reference point shifting y direction", a.y, -1e8, 1e8) ||
      !ask_number(2160, "Textwidth/height", a.text_factor, 0.1, 10)) {
    return false;
  }
  if (a.destination == kPostScript) {
    SetHelpNumber(2280);
    InputText("Postscript font", 28, a.font);
  }
  return AbortFlag == 0;
}

std::string program_path(const PlotAnswers& a) {
  return AddBackslash(a.folder) + UpperText(program_stem(a));
}

std::string assemble(const PlotAnswers& a, const std::string& program) {
  std::string line = cad_quote_command_word(program) + " " +
                     cad_quote_command_word(AddBackslash(TempDir) + "penwerk");
  line += " /C" + std::string(kPlotDestinationCodes[a.destination - 1]);
  if (a.interface != kParallel) line += " /D" + IntText(a.interface);
  if (a.interface != kFile && a.port != 1) line += " /P" + IntText(a.port);
  if (a.interface == kFile && !TrimBlanks(a.file).empty()) line += " /F" + a.file;
  if (a.scale == 0) {
    line += " /M*";
  } else if (a.scale != 1) {
    line += " /M" + RealText(a.scale);
  }
  if (a.x != 0) line += " /X" + RealText(a.x);
  if (a.rotate) line += " /R";
  if (a.y != 0) line += " /Y" + RealText(a.y);
  if (a.text_factor != 1) line += " /B" + RealText(a.text_factor);
  if (a.destination == kPostScript) line += " /T" + a.font;
  return line;
}

// Where a relative script name counts from: TempDir, or the working folder without one.
std::string script_folder() {
  std::string folder = TempDir.empty() ? platform::os::CurrentFolder() : TempDir;
  if (folder.empty() || folder[0] != '/') {
    folder = AddBackslash(platform::os::CurrentFolder()) + folder;
  }
  return AddBackslash(folder);
}

std::string file_name_part(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// The script holds the line with the program file as found, since the shell that runs it takes
// the name as it stands; the line becomes the script's absolute name.
void write_script(std::string& line, const std::string& script_line) {
  ShowNote("command line too long, A batch file will be created.");
  std::string name = script_folder() + ShortName;
  while (true) {
    SetHelpNumber(2170);
    InputText("batch file name (w/o .bat)", 20, name);
    if (AbortFlag) return;
    if (name.empty() || file_name_part(name).find('.') != std::string::npos) continue;
    const std::string script = (name[0] == '/' ? name : script_folder() + name) + ".BAT";
    if (platform::WriteCommandScript(script, script_line)) {
      line = cad_quote_command_word(script);
      return;
    }
    ShowError("file " + script + " " + "cannot be created");
  }
}

}  // namespace

void plot_command_line(std::string& line) {
  PlotAnswers answers;
  answers.folder = program_folder(line);
  if (!ask_program(answers) || !ask_destination(answers) || !ask_layout(answers)) return;
  line = assemble(answers, program_path(answers));
  if (line.size() > kLongestLine) {
    write_script(line, assemble(answers, cad_find_plot_program(program_path(answers))));
  }
}
