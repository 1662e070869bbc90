// The help data the program ships: every listed help number, the message help records and the
// images they name, read as plain bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/base/testdata.h"

namespace {

std::string ReadBytes(const std::string& name) {
  return FileBytes(DataPath(name));
}

// Lines of a CR LF file; every line must end in CR LF.
std::vector<std::string> CrLfLines(const std::string& name) {
  const std::string bytes = ReadBytes(name);
  EXPECT_TRUE(bytes.ends_with("\r\n")) << name << " is empty or ends without CR LF";
  std::vector<std::string> lines;
  for (std::size_t start = 0, end = 0; start < bytes.size(); start = end + 2) {
    end = std::min(bytes.find("\r\n", start), bytes.size());
    lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << name;
  }
  return lines;
}

// The number of a help line: its first four characters are blanks and then digits only.
int HelpNumberOf(const std::string& line) {
  static const std::regex number(" *[0-9]+");
  const std::string head = line.substr(0, 4);
  return std::regex_match(head, number) ? std::stoi(head) : -1;
}

struct HelpEntry {
  std::string image;
  int lines = 0;
};

std::map<int, HelpEntry> HelpEntries(const std::string& name) {
  const auto lines = CrLfLines(name);
  std::map<int, HelpEntry> entries;
  int current = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int number = HelpNumberOf(lines[i]);
    if (number < 0) {
      EXPECT_GE(current, 0) << name << " line " << i + 1;
      EXPECT_LE(++entries[current].lines, 5) << name << ": " << current;
      continue;
    }
    EXPECT_EQ(number % 5, 0) << name << ": " << number;
    EXPECT_LT(i + 1, lines.size()) << name << ": " << number << " has no text";
    const std::size_t colon = lines[i].find(':');
    entries[number] = {colon == std::string::npos ? "" : lines[i].substr(colon + 1), 1};
    current = number;
    ++i;
  }
  // The last entry cannot be found by its reader, so the file ends with 9995 and one more line.
  EXPECT_EQ(lines.size() >= 3 ? HelpNumberOf(lines[lines.size() - 3]) : -1, 9995) << name;
  return entries;
}

TEST(HelpData, CommonHelpFileHoldsEveryNumberTheProgramUses) {
  const auto entries = HelpEntries("brelcor.hlp");
  std::vector<int> wanted = {1000, 1030, 1040, 1050, 1060, 1070, 1120, 1210, 1300, 1305, 1310,
                             1315, 1500, 1555, 1670, 1750, 1755, 1800, 1810, 1815, 1830, 1910,
                             1920, 1930, 1935, 1940, 1960, 1970, 1980, 1990, 2050, 2055, 2060,
                             2080, 2090, 2110, 2120, 2130, 2140, 2145, 2150, 2160, 2170, 2280,
                             2450, 2500, 2530, 2535, 2540, 2545, 2550, 2710, 2720, 2730, 2820,
                             2900, 3000, 3010, 3020, 3055, 3210, 3400};
  for (int n = 1570; n <= 1615; n += 5) wanted.push_back(n);
  for (int n = 1710; n <= 1740; n += 5) wanted.push_back(n);
  for (int n = 2300; n <= 2350; n += 10) wanted.push_back(n);
  for (const int number : wanted) EXPECT_TRUE(entries.count(number)) << number;
}

TEST(HelpData, ProgramHelpFileHoldsItsNumbersAndImages) {
  const auto entries = HelpEntries("kv6.hlp");
  for (const int number : {5005, 5040, 5100, 5145, 5150, 5160, 5300, 5310, 5340, 5400, 5410, 5420,
                           5430, 5500, 8260, 9500, 9510, 9520}) {
    EXPECT_TRUE(entries.count(number)) << number;
  }
  for (const int number : {5005, 5040, 5145, 5160, 5420}) {
    const std::string image = entries.count(number) ? entries.at(number).image : "";
    EXPECT_FALSE(image.empty()) << number;
    EXPECT_LE(image.size(), 8u);
    EXPECT_FALSE(ReadBytes(image + ".plt").empty()) << image;
  }
}

TEST(HelpData, FilesAreCp850WithoutUtf8Sequences) {
  for (const char* name : {"brelcor.hlp", "kv6.hlp", "kv6.err", "kv6.dbh"}) {
    const std::string bytes = ReadBytes(name);
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
      const auto lead = static_cast<unsigned char>(bytes[i]);
      const auto next = static_cast<unsigned char>(bytes[i + 1]);
      EXPECT_FALSE(lead >= 0xC2 && lead <= 0xF4 && (next & 0xC0) == 0x80) << name << " at " << i;
    }
  }
}

// Every text literal of the calculation's sources that starts like a message ("Fatal  : ",
// "Error  : ", "Warning: "), as far as the literal goes: a message built from parts is found by
// its first 15 characters, which its literal holds.
std::vector<std::string> CalculationMessages() {
  static const std::regex literal("\"((?:Fatal  : |Error  : |Warning: )[^\"\\\\]*)\"");
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(SourceRoot() + "/calc")) {
    if (entry.path().extension() != ".cpp") continue;
    const std::string source = FileBytes(entry.path().string());
    for (std::sregex_iterator it(source.begin(), source.end(), literal), end; it != end; ++it) {
      found.push_back((*it)[1]);
    }
  }
  return found;
}

TEST(HelpData, MessageHelpRecordsHaveUniqueKeysAndCoverTheMessages) {
  const auto lines = CrLfLines("kv6.err");
  ASSERT_EQ(lines.size() % 3, 0u);
  std::set<std::string> keys;
  for (std::size_t i = 0; i < lines.size(); i += 3) {
    EXPECT_TRUE(keys.insert(lines[i].substr(0, 15)).second) << lines[i];
  }
  for (std::size_t i = 0; i < lines.size(); i += 3) {
    for (const std::string& text : {lines[i + 1], lines[i + 2]}) {
      EXPECT_FALSE(text.empty()) << lines[i];
      EXPECT_LT(text.size(), 250u);
      EXPECT_EQ(keys.count(text.substr(0, 15)), 0u) << text;
      EXPECT_FALSE(text.starts_with("Fatal  : ") || text.starts_with("Error  : ") ||
                   text.starts_with("Warning: "))
          << text;
    }
  }
  // The messages of other units and texts built at run time; the calculation's own come from
  // its sources.
  std::vector<std::string> messages = {
      "smin (sqrt)",
      "s1min (sqrt)",
      "unknown command character !",
      "undefined dimension range",
      "unknown ISO tolerance",
      "invalid ISO tolerance",
      "tolerance grade 19 not defined for k",
      "d>500 not defined for v",
      "a9..a13",
      "cd 5 .. cd 10",
      "z6..z11",
      "cd is defined only from 1 to 10 mm ",
      "FG 12 is defined only from 1 to 10 mm ",
      "t is defined only from > 24 mm ",
      "y is defined only from > 18 to 500 mm ",
      "V 7 is defined only from > 14 mm ",
      "Y 11 is defined only from > 18 mm ",
      "Fatal  : DIN 6885 Datenbank",
      "Material type 47 not found.",
      "Werkstofftyp 99 nicht gefunden.",
      "Error  : DXF: 3DFACE",
      "Error  : DXF: LEADER",
      "Invalid temp directory",
      "Fehler in GetArcCenter (dphi = 0 ! ",
      "Error  : Database #3",
  };
  const auto calculation = CalculationMessages();
  ASSERT_GE(calculation.size(), 15u);
  messages.insert(messages.end(), calculation.begin(), calculation.end());
  for (const std::string& message : messages) {
    EXPECT_TRUE(keys.count(message.substr(0, 15))) << message;
  }
}

TEST(HelpData, AuxiliaryImageListNamesShippedImages) {
  const auto lines = CrLfLines("kv6.dbh");
  ASSERT_GE(lines.size(), 3u);
  for (const std::string& line : lines) {
    ASSERT_EQ(line.front(), '"');
    const std::string name = line.substr(1, line.find('"', 1) - 1);
    EXPECT_FALSE(ReadBytes(name + ".plt").empty()) << name;
  }
}

// That they draw inside the header window is checked by plotting them (helptext_test).
TEST(HelpData, ImagesUseOnlyTheHelpSubsetOfHpgl) {
  for (const char* name : {"start", "p3gdims", "material", "bores", "fwcoeff", "kacoeff"}) {
    const std::string bytes = ReadBytes(std::string(name) + ".plt");
    ASSERT_GE(bytes.size(), 4u) << name;
    EXPECT_EQ(bytes.substr(0, 2), "PU") << name;
    EXPECT_EQ(bytes.substr(bytes.size() - 3), ";\r\n") << name;
    std::istringstream commands(bytes);
    std::string command;
    while (std::getline(commands, command, ';')) {
      const std::size_t start = command.find_first_not_of("\r\n");
      if (start == std::string::npos) continue;
      static const std::set<std::string> allowed = {"PU", "PD", "PA", "SP", "CI",
                                                    "SI", "DI", "LB", "CS"};
      EXPECT_TRUE(allowed.count(command.substr(start, 2))) << name << ": " << command;
    }
  }
}

}  // namespace
