#include "calc/descriptiontext.h"

std::vector<std::string> DescriptionLines(std::string_view description) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < description.size(); ++i) {
    const char c = description[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < description.size() && description[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

std::string DescriptionAsOneLine(std::string_view description) {
  const std::vector<std::string> lines = DescriptionLines(description);
  std::string line = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) line += "|" + lines[i];
  return line;
}

std::string DescriptionFromOneLine(std::string_view line) {
  std::string description;
  for (const char c : line) {
    if (c == '|') {
      description += "\r\n";
    } else {
      description += c;
    }
  }
  return description;
}
