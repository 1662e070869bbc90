#include "base/files/commandline.h"

#include "base/text/utilstr.h"

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, inWord = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool MeansDesktopDefault(const std::string& program, bool emptyMeansDefault) {
  if (program.empty()) return emptyMeansDefault;
  const std::string lower = LowerText(program);
  const bool exe = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".exe") == 0;
  const bool drive = lower.size() >= 2 && lower[1] == ':';
  return exe || drive || program.find('\\') != std::string::npos;
}
