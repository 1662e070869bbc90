#include "base/help/helptext.h"

#include "base/draw/breldraw.h"
#include "base/files/textfile.h"
#include "base/files/utilpath.h"
#include "base/help/hbild.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "platform/ui/dialog.h"

std::uint16_t HelpNumber = 0;

namespace {

constexpr const char* kNoImage = "NULL";

enum class HelpStatus { FileMissing, NotAvailable, Found };

struct HelpEntry {
  HelpStatus status = HelpStatus::NotAvailable;
  HelpLines lines;
  std::string image;
  bool endedAtNextGroup = false;
};

bool ReadNextLine(TextFile& file, std::string& line) {
  if (file.Eof()) return false;
  file.ReadLine(line);
  return true;
}

// The entry's further lines: continuation lines word for word, the texts of the entries N+1 ..
// N+4 at their positions, up to the number line of the next group of five.
void CollectLines(TextFile& file, std::int32_t number, HelpEntry& entry) {
  std::string line;
  std::string unusedImage;
  for (std::int32_t position = 2; position <= 5; ++position) {
    if (!ReadNextLine(file, line)) return;
    std::int32_t lineNumber = -1;
    ParseHelpLine(line, lineNumber, unusedImage);
    if (lineNumber < 0) {
      entry.lines[position - 1] = line;
      continue;
    }
    if (lineNumber % 5 == 0) {
      entry.endedAtNextGroup = true;
      return;
    }
    std::string text;
    ReadNextLine(file, text);
    if (lineNumber == number + position - 1) entry.lines[position - 1] = text;
  }
}

HelpEntry FindHelpEntry(std::uint16_t number, const std::string& fileName) {
  HelpEntry entry;
  TextFile file;
  file.Assign(fileName);
  file.Reset();
  if (file.IoResult() != 0) {
    entry.status = HelpStatus::FileMissing;
    return entry;
  }
  std::string line;
  while (ReadNextLine(file, line)) {
    std::int32_t lineNumber = -1;
    std::string image;
    ParseHelpLine(line, lineNumber, image);
    if (lineNumber < 0) continue;
    std::string text;
    if (!ReadNextLine(file, text)) break;
    if (lineNumber != number) continue;
    entry.status = HelpStatus::Found;
    entry.image = image;
    entry.lines[0] = text;
    CollectLines(file, number, entry);
    break;
  }
  file.Close();
  return entry;
}

std::uint16_t ResolvedNumber(std::uint16_t number) {
  return number == 0 ? HelpNumber : number;
}

std::string FileMissingText(const std::string& fileName) {
  return "File " + fileName + " " + "not found" + " !";
}

}  // namespace

std::string HelpFileName(std::uint16_t number) {
  if (number >= 4000) return AddBackslash(PltDir) + LowerText(ShortName) + ".hlp";
  return AddBackslash(PltDir) + "brelcor.hlp";
}

void ParseHelpLine(const std::string& line, std::int32_t& number, std::string& image) {
  const std::string head = line.substr(0, 4);
  std::size_t i = 0;
  while (i < head.size() && head[i] == ' ') ++i;
  const bool digitsOnly =
      i < head.size() && head.find_first_not_of("0123456789", i) == std::string::npos;
  number = digitsOnly ? TextToInt(head.substr(i)) : -1;
  const std::size_t colon = line.find(':');
  image = colon == std::string::npos ? kNoImage : TrimBlanks(line.substr(colon + 1));
}

std::string HelpNotAvailableText(std::int32_t number) {
  return "help text No " + IntText(number) + ": " + "No help available" + ".";
}

void ShowHelpText(std::uint16_t number, const std::string&, std::uint16_t mode) {
  number = ResolvedNumber(number);
  if (mode > 2) mode = 0;
  const std::string fileName = HelpFileName(number);
  const HelpEntry entry = FindHelpEntry(number, fileName);
  HelpLines lines;
  std::string image;  // a failed lookup draws no image
  switch (entry.status) {
    case HelpStatus::FileMissing:
      lines[0] = FileMissingText(fileName);
      break;
    case HelpStatus::NotAvailable:
      lines[0] = HelpNotAvailableText(number);
      break;
    case HelpStatus::Found:
      lines = entry.lines;
      image = entry.image;
      break;
  }
  ShowHelpEntry(lines, image, mode, number);
  AbortFlag = 0;
}

void ShowHelpEntry(const HelpLines& lines, const std::string& image, std::uint16_t mode,
                   std::uint16_t number) {
  if (mode == 0 || mode == 1) {
    std::string text;
    for (const std::string& line : lines) text += ToDisplayText(line) + " ";
    platform::MessageBoxRequest box;
    box.caption = "HELP TEXT No." + IntText(number);
    box.text = text;
    platform::Dialogs().ShowBox(box);
  }
  if ((mode == 0 || mode == 2) && Drawer != nullptr) {
    Drawer->grClear();
    Drawer->grHeader(0, 0, 160, 120);
    if (!image.empty() && image != kNoImage) {
      PlotNamedImage(image);
    }
    Drawer->grClearViewPort();
  }
}

void HelpEntryLine(std::uint16_t number, std::string& text) {
  number = ResolvedNumber(number);
  const std::string fileName = HelpFileName(number);
  HelpEntry entry = FindHelpEntry(number, fileName);
  switch (entry.status) {
    case HelpStatus::FileMissing:
      text = ToDisplayText(FileMissingText(fileName));
      break;
    case HelpStatus::NotAvailable:
      text = HelpNotAvailableText(number);
      break;
    case HelpStatus::Found:
      if (entry.endedAtNextGroup && HelpLevel >= 2) {
        entry.lines[4] += " (" + IntText(number) + ")";
      }
      text.clear();
      for (std::size_t i = 0; i < entry.lines.size(); ++i) {
        if (i > 0) text += " ";
        text += ToDisplayText(entry.lines[i]);
      }
      break;
  }
  AbortFlag = 0;
}

void HelpHint(std::uint16_t number, std::string& text) {
  HelpEntryLine(number, text);
}
