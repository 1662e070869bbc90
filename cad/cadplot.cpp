#include "cad/cadplot.h"

#include <cerrno>

#include "base/numbertext.h"
#include "base/utilcrt.h"
#include "base/wbrelvar.h"
#include "cad/cadvar.h"
#include "platform/process.h"

std::vector<std::string> cad_split_command_line(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, in_word = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if (c == ' ' && !quoted) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

void cad_start_plot_program() {
  std::uint16_t chosen = PlotCommandLines.Chosen;
  if (chosen < 1 || chosen > 5) chosen = 1;
  std::vector<std::string> argv = cad_split_command_line(PlotCommandLines.Lines[chosen]);
  int error = argv.empty() ? ENOENT : platform::StartProgram(argv);
  HourglassOff();
  if (error == 0) return;
  if (error == ENOENT || error == ENOTDIR) {
    ShowError("file not found");
  } else if (error == ENOMEM) {
    ShowError("out of memory !");
  } else {
    ShowError("Exec error " + IntText(error));
  }
  AbortFlag = 1;
}
