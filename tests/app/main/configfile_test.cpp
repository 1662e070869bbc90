// The configuration file: the written defaults against a file typed from the item tables, round
// trips of changed values under both decimal signs, files cut after every line, the item repairs
// the format leaves open, where the file is looked for, and writers that never lose the old file.
#include "app/main/configfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "app/main/screensize.h"
#include "base/files/listfile.h"
#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tests/app/main/configfixture.h"
#include "tests/base/testdata.h"
#include "tests/support/scopedvariable.h"

namespace {

namespace fs = std::filesystem;

class ConfigFileTest : public ConfigTest {
 protected:
  void Defaults() { SetUp(); }

  std::string CfgPath() const { return folder.Path("kv6.cfg"); }

  // The settings after reading the lines, as the writer gives them back.
  std::vector<std::string> ReadBack(const std::vector<std::string>& lines,
                                    const char* end = "\r\n") {
    folder.Put("in.cfg", Joined(lines, end));
    Defaults();
    EXPECT_TRUE(ReadConfigFile(folder.Path("in.cfg")));
    return ConfigFileLines();
  }

  static std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& label) {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), label) - lines.begin());
  }

  // Value lines the screen recomputes on every read.
  std::set<std::size_t> ScreenLines(const std::vector<std::string>& lines) const {
    return {IndexOf(lines, "Horizontal Pixels") + 1, IndexOf(lines, "Vertical Pixels") + 1};
  }

  static std::set<std::size_t> Differences(const std::vector<std::string>& a,
                                           const std::vector<std::string>& b) {
    std::set<std::size_t> differ;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
      if (i >= a.size() || i >= b.size() || a[i] != b[i]) differ.insert(i);
    }
    return differ;
  }

  // The lines the reader skips: whatever stands there, the settings come out the same.
  std::set<std::size_t> SkippedLines(const std::vector<std::string>& defaults) {
    const std::vector<std::string> reference = ReadBack(defaults);
    std::set<std::size_t> skipped;
    for (std::size_t i = 0; i < defaults.size(); ++i) {
      bool same = true;
      for (const char* probe : {"x", "TRUE", "FALSE", "7", "2", "500", "1|2|3|4|"}) {
        std::vector<std::string> lines = defaults;
        lines[i] = probe;
        same = same && ReadBack(lines) == reference;
      }
      if (same) skipped.insert(i);
    }
    return skipped;
  }

  // Every value changed: flags inverted, numbers up by one, texts extended; the plot program
  // gets three command lines.
  static std::vector<std::string> Changed(const std::vector<std::string>& defaults,
                                          const std::set<std::size_t>& skipped) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < defaults.size(); ++i) {
      const std::string& line = defaults[i];
      if (skipped.count(i) != 0) {
        lines.push_back(line);
      } else if (i > 0 && defaults[i - 1] == "Digits for floating point numbers") {
        // The digits of every real text follow it: changed, the file would read back
        // with more digits than it was written with.
        lines.push_back(line);
      } else if (i > 0 && defaults[i - 1] == "Font angle") {
        // 0, a whole number below one, would come back with decimals.
        lines.push_back(ExactRealLineText(0.5L));
      } else if (i > 0 && defaults[i - 1] == "PENWERK Command lines (n, line 2 .. line n)") {
        lines.insert(lines.end(), {"3", "plot two", "plot three"});
      } else {
        lines.push_back(ChangedValue(line));
      }
    }
    return lines;
  }

  static std::string ChangedValue(const std::string& line) {
    if (line == "TRUE") return "FALSE";
    if (line == "FALSE") return "TRUE";
    if (line.empty()) return "e";
    if (line.size() == 1 && !std::isdigit(static_cast<unsigned char>(line[0]))) return "K";
    if (line.find('|') != std::string::npos) return "11|41|701|441|";
    const bool number = line.find_first_not_of("-0123456789.,") == std::string::npos;
    if (!number) return line + "_x";
    std::string point = line;
    std::replace(point.begin(), point.end(), ',', '.');
    if (line.find_first_of(".,") == std::string::npos) return IntText(TextToInt(line) + 1);
    // A "." under the decimal sign "," is a real the writer keeps exact.
    if (line.find(',') == std::string::npos) return ExactRealLineText(TextToReal(point) + 1);
    return RealLineText(TextToReal(point) + 1);
  }

  // The settings as written, with nothing the reader recomputes from the screen or drops: no
  // size codes, and the menu language kept.
  static std::vector<std::string> DefaultLines(std::int32_t sizeCodes = 3,
                                               std::uint8_t keepLanguage = 1) {
    ScreenSizeCode = sizeCodes;
    DialogSizeCode = sizeCodes;
    TextWindowSizeCode = sizeCodes;
    SaveMenuLanguage = keepLanguage;
    return ConfigFileLines();
  }
};

TEST_F(ConfigFileTest, WrittenDefaultsEqualTheFileTypedFromTheTables) {
  WriteConfig();
  EXPECT_EQ(AbortFlag, 0);
  const std::string typed = FileBytes(SourceRoot() + "/tests/app/main/data/defaults.cfg");
  ASSERT_FALSE(typed.empty());
  EXPECT_EQ(folder.Bytes("kv6.cfg"), typed);
  EXPECT_EQ(Lines(typed).size(), 279U);
}

// Every label, and the two header lines, are skipped unread.
TEST_F(ConfigFileTest, LabelsAndHeaderAreSkippedUnread) {
  const std::set<std::size_t> skipped = SkippedLines(DefaultLines());
  // And the table copy's switch, which holds for the run that set it only.
  EXPECT_EQ(skipped.size(), 99U);
  EXPECT_EQ(skipped.count(DefaultLines().size() - 60 + 49), 1U);
  EXPECT_TRUE(skipped.count(0) != 0 && skipped.count(1) != 0);
}

// Changed values come back, under either decimal sign, except the fit clearances, whole numbers
// below one that the writer gives with seven decimals.
TEST_F(ConfigFileTest, ChangedValuesSurviveARoundTripUnderBothDecimalSigns) {
  const std::vector<std::string> defaults = DefaultLines();
  const std::set<std::size_t> skipped = SkippedLines(defaults);
  for (const char sign : {'.', ','}) {
    SCOPED_TRACE(sign);
    Defaults();
    DecimalSeparator = sign;
    const std::vector<std::string> changed = Changed(DefaultLines(2, 0), skipped);
    folder.Put("in.cfg", Joined(changed));
    Defaults();
    DecimalSeparator = sign;
    ASSERT_TRUE(ReadConfigFile(folder.Path("in.cfg")));
    EXPECT_EQ(CadFont, "TXT8_x");
    EXPECT_EQ(PlotCommandLines.Count, 3);
    EXPECT_EQ(PlotCommandLines.Lines[3], "plot three");
    const std::vector<std::string> back = ConfigFileLines();
    const std::size_t tail = changed.size() - 60;
    const std::set<std::size_t> expected = {tail + 54, tail + 55};
    EXPECT_EQ(Differences(changed, back), expected);
  }
}

// The CAD text factor, the font angle and the graphic x factor come back unchanged from any
// number of saves whatever FloatDigits and the decimal sign, and files that held them as number
// texts of the system's own digits still read.
TEST_F(ConfigFileTest, CadTextRealsSurviveEverySaveAtAnyPrecision) {
  const auto value = [](const std::vector<std::string>& lines, const char* label) {
    return lines[IndexOf(lines, label) + 1];
  };
  for (const std::int32_t digits : {2, 3, 6}) {
    for (const char sign : {'.', ','}) {
      SCOPED_TRACE(std::to_string(digits) + sign);
      Defaults();
      FloatDigits = digits;
      DecimalSeparator = sign;
      CadTextFactor = 0.8765432L;
      CadFontAngle = 3.6651914L;
      GraphicXFactor = 1.25L;
      for (int save = 1; save <= 3; ++save) {
        WriteConfig();
        ASSERT_EQ(AbortFlag, 0);
        CadTextFactor = CadFontAngle = GraphicXFactor = 7;
        ASSERT_TRUE(ReadConfigFile(CfgPath()));
        EXPECT_EQ(CadTextFactor, TextToReal("0.8765432")) << save;
        EXPECT_EQ(CadFontAngle, TextToReal("3.6651914")) << save;
        EXPECT_EQ(GraphicXFactor, 1.25L) << save;
      }
      const std::vector<std::string> lines = ConfigFileLines();
      EXPECT_EQ(value(lines, "Textwidth/height CAD"), "0.8765432");
      EXPECT_EQ(value(lines, "Font angle"), "3.6651914");
      EXPECT_EQ(value(lines, "X-Factor for graphic extension"), "1.2500000");
    }
  }
  std::vector<std::string> old = DefaultLines();
  old[IndexOf(old, "Textwidth/height CAD") + 1] = "3,67";
  old[IndexOf(old, "Font angle") + 1] = "-1.235E+05";
  old[IndexOf(old, "X-Factor for graphic extension") + 1] = "0";
  ReadBack(old);
  EXPECT_EQ(CadTextFactor, TextToReal("3.67"));
  EXPECT_EQ(CadFontAngle, -123500.0L);
  EXPECT_EQ(GraphicXFactor, 1.0L);
}

// A file cut after any line: the items before the cut are read, and a file that stops at a
// checkpoint without the finishing step still gives a window of the screen's size.
TEST_F(ConfigFileTest, FilesCutAfterEveryLineReadAsFarAsTheyGo) {
  const std::vector<std::string> defaults = DefaultLines();
  const std::vector<std::string> changed = Changed(defaults, SkippedLines(defaults));
  const std::set<std::size_t> labels = SkippedLines(changed);
  // The dialogs' scale follows the screen until the file's size code is read.
  std::set<std::size_t> screen = ScreenLines(changed);
  screen.insert(IndexOf(changed, "Input Window Scale %") + 1);
  const std::size_t tail = changed.size() - 60;
  // The rectangle is taken only when a line follows it.
  const std::size_t rect = IndexOf(changed, "Text window left/top/width/height") + 1;
  const auto itemEnd = [&](std::size_t i) {
    const auto next = labels.upper_bound(i);
    return i >= tail ? i + 1 : next == labels.end() ? tail : *next;
  };
  const std::size_t printerType = IndexOf(changed, "Printer type");
  Defaults();
  const std::vector<std::string> start = ConfigFileLines();
  for (std::size_t k = 0; k <= changed.size(); ++k) {
    SCOPED_TRACE(k);
    ReadBack(std::vector<std::string>(changed.begin(), changed.begin() + static_cast<long>(k)));
    DefaultWindowSize();
    EXPECT_TRUE(HorizontalPixels != 0 && HorizontalPixels != 65535);
    EXPECT_TRUE(VerticalPixels != 0 && VerticalPixels != 65535);
    const std::vector<std::string> back = ConfigFileLines();
    for (std::size_t i = 0; i < std::min(k, tail); ++i) {
      if (labels.count(i) != 0 || screen.count(i) != 0 || (i == rect && k == rect + 1)) continue;
      if (itemEnd(i) <= k) {
        EXPECT_EQ(back[i], changed[i]) << i;
      }
    }
    // Stopped at "Printer interface" or "Printer type": nothing after them changes.
    if (k <= printerType + 2) {
      for (std::size_t i = printerType + 2; i < start.size(); ++i) {
        if (ScreenLines(start).count(i) == 0) {
          EXPECT_EQ(back[i], start[i]) << i;
        }
      }
    }
  }
}

TEST_F(ConfigFileTest, PlotProgramCountsOutsideOneToFiveKeepTheItemsInPlace) {
  std::vector<std::string> lines = DefaultLines();
  const std::size_t count = IndexOf(lines, "PENWERK Command lines (n, line 2 .. line n)") + 1;
  const std::size_t archive = count + 1;
  lines[archive + 1] = "TRUE";
  {
    std::vector<std::string> zero = lines;
    zero[count] = "0";
    ReadBack(zero);
    EXPECT_EQ(PlotCommandLines.Count, 1);
    EXPECT_EQ(ArchiveFlag, 1);
  }
  {
    std::vector<std::string> seven = lines;
    seven[count] = "7";
    seven.insert(seven.begin() + static_cast<long>(count) + 1,
                 {"l2", "l3", "l4", "l5", "l6", "l7"});
    ReadBack(seven);
    EXPECT_EQ(PlotCommandLines.Count, 5);
    EXPECT_EQ(PlotCommandLines.Lines[5], "l5");
    EXPECT_EQ(ArchiveFlag, 1);
  }
  {
    std::vector<std::string> many = lines;
    many[count] = "65535";
    ReadBack(many);
    EXPECT_EQ(PlotCommandLines.Count, 5);
    EXPECT_EQ(PlotCommandLines.Lines[2], "Archive Flag ?");
  }
}

TEST_F(ConfigFileTest, FlagsKeepTheirValuesWhileAbortFlagIsSet) {
  std::vector<std::string> lines = DefaultLines();
  lines[IndexOf(lines, "Color graphics") + 1] = "FALSE";
  lines[IndexOf(lines, "Text font CAD") + 1] = "ISO";
  folder.Put("in.cfg", Joined(lines));
  Defaults();
  AbortFlag = 1;
  ASSERT_TRUE(ReadConfigFile(folder.Path("in.cfg")));
  EXPECT_EQ(ColourGraphics, 1);
  EXPECT_EQ(CadFont, "ISO");
}

TEST_F(ConfigFileTest, EmptyLinesAndTheMenuLanguage) {
  std::vector<std::string> lines = DefaultLines(3, 0);
  lines[IndexOf(lines, "Edit 3D x,y,z ?") + 1] = "";
  lines[IndexOf(lines, "Graphic Printout Dialog Box ?") + 1] = "";
  const std::size_t tail = lines.size() - 60;
  lines[tail + 5] = "5";  // Language, while SaveMenuLanguage stays FALSE
  ReadBack(lines);
  EXPECT_EQ(Edit3DAngles, 1);
  EXPECT_EQ(PrintDialogOn, 0);
  EXPECT_EQ(Language, 0);
  lines[tail + 14] = "TRUE";
  ReadBack(lines);
  EXPECT_EQ(Language, 5);
}

TEST_F(ConfigFileTest, LineFeedsAloneReadAsCarriageReturnLineFeeds) {
  const std::vector<std::string> defaults = DefaultLines();
  const std::vector<std::string> changed = Changed(defaults, SkippedLines(defaults));
  EXPECT_EQ(ReadBack(changed, "\n"), ReadBack(changed, "\r\n"));
}

TEST_F(ConfigFileTest, TextWindowRectangleNeedsASizeAndAFollowingLine) {
  std::vector<std::string> lines = DefaultLines();
  const std::size_t rect = IndexOf(lines, "Text window left/top/width/height") + 1;
  lines[lines.size() - 60 + 48] = "0";  // TextWindowSizeCode: keep the file's rectangle
  lines[rect] = "1|2|0|4|";
  ReadBack(lines);
  EXPECT_EQ(TextWindowRect[2], 700);
  lines[rect] = "1|2|3|4|";
  ReadBack(lines);
  EXPECT_EQ(TextWindowRect[2], 3);
  ReadBack(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(rect) + 1));
  EXPECT_EQ(TextWindowRect[2], 700);
}

// Damaged files (lines dropped, doubled, cut or replaced by bytes of any value, huge plot
// counts) read to their end without a fault, and the settings stay within their repairs.
TEST_F(ConfigFileTest, DamagedFilesReadWithoutFault) {
  const std::vector<std::string> defaults = DefaultLines();
  std::mt19937 random(20261207);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines = defaults;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !lines.empty(); ++e) {
      const std::size_t at = random() % lines.size();
      switch (random() % 5) {
        case 0:
          lines.erase(lines.begin() + static_cast<long>(at));
          break;
        case 1:
          lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
          break;
        case 2:
          lines[at] = lines[at].substr(0, lines[at].size() / 2);
          break;
        case 3:
          lines[at] = IntText(static_cast<std::int32_t>(random() % 100000));
          break;
        default: {
          std::string junk(random() % 40, ' ');
          for (char& c : junk) c = static_cast<char>(random() % 256);
          lines[at] = junk;
        }
      }
    }
    ReadBack(lines);
    EXPECT_TRUE(PlotCommandLines.Count >= 1 && PlotCommandLines.Count <= 5) << round;
    EXPECT_TRUE(CadDecimals >= 1 && CadDecimals <= 32) << round;
    EXPECT_TRUE(FloatDigits >= 1 && FloatDigits <= 9) << round;
  }
}

class ConfigPlacesTest : public ConfigFileTest {
 protected:
  void SetUp() override {
    ConfigFileTest::SetUp();
    fs::create_directories(folder.Path("cwd"));
    fs::create_directories(folder.Path("user/brelcor/kv6"));
    fs::create_directories(folder.Path("sys2/brelcor/kv6"));
    ConfigDir = folder.Path("cwd");
  }
  void PutConfig(const std::string& dir, const std::string& font) {
    std::vector<std::string> lines = ConfigFileLines();
    lines[IndexOf(lines, "Text font CAD") + 1] = font;
    folder.Put(dir + "/kv6.cfg", Joined(lines));
  }
  ScopedVariable configHome{"XDG_CONFIG_HOME", folder.Path("user")};
  ScopedVariable configDirs{"XDG_CONFIG_DIRS", folder.Path("sys1") + ":" + folder.Path("sys2")};
};

TEST_F(ConfigPlacesTest, CurrentFolderThenUserThenSystemFolders) {
  PutConfig("sys2/brelcor/kv6", "SYS");
  ReadConfig();
  EXPECT_EQ(CadFont, "SYS");
  EXPECT_EQ(ConfigDir, folder.Path("user/brelcor/kv6/"));
  PutConfig("user/brelcor/kv6", "USER");
  ConfigDir = folder.Path("cwd");
  ReadConfig();
  EXPECT_EQ(CadFont, "USER");
  EXPECT_EQ(ConfigDir, folder.Path("user/brelcor/kv6/"));
  PutConfig("cwd", "HERE");
  ConfigDir = folder.Path("cwd");
  ReadConfig();
  EXPECT_EQ(CadFont, "HERE");
  EXPECT_EQ(ConfigDir, folder.Path("cwd"));
  // Written where it was found.
  AbortFlag = 0;
  CadFont = "NEW";
  WriteConfig();
  EXPECT_NE(folder.Bytes("cwd/kv6.cfg").find("NEW"), std::string::npos);
}

TEST_F(ConfigPlacesTest, NoFileGivesDefaultsAndAbortFlagAndWritesGoToTheUserFolder) {
  const ScopedVariable noUser("XDG_CONFIG_HOME", folder.Path("fresh"));
  CadFont = "TXT8";
  ReadConfig();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(CadFont, "TXT8");
  EXPECT_NE(HorizontalPixels, 0);
  AbortFlag = 0;
  WriteConfig();
  EXPECT_FALSE(folder.Bytes("fresh/brelcor/kv6/kv6.cfg").empty());
}

TEST_F(ConfigPlacesTest, RelativeConfigHomeFallsBackToHome) {
  const ScopedVariable relative("XDG_CONFIG_HOME", "relative");
  const ScopedVariable home("HOME", folder.Path("home"));
  ReadConfig();
  EXPECT_EQ(ConfigDir, folder.Path("home/.config/brelcor/kv6/"));
}

TEST_F(ConfigFileTest, WriterLeavesTheOldFileWhenItCannotWrite) {
  folder.Put("kv6.cfg", "old");
  AbortFlag = 1;
  WriteConfig();
  EXPECT_EQ(folder.Bytes("kv6.cfg"), "old");
  AbortFlag = 0;
  {
    platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
    faults->FailStep(1);
    WriteConfig();
  }
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(folder.Bytes("kv6.cfg"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Dir()), fs::directory_iterator()), 1);
  // A folder below a regular file cannot be made.
  AbortFlag = 0;
  ConfigDir = folder.Path("kv6.cfg/sub");
  WriteConfig();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(folder.Bytes("kv6.cfg"), "old");
}

TEST_F(ConfigFileTest, SymlinkedFileStaysALink) {
  folder.Put("real.cfg", "old");
  fs::create_symlink("real.cfg", CfgPath());
  WriteConfig();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(fs::is_symlink(CfgPath()));
  EXPECT_EQ(Lines(folder.Bytes("real.cfg")).size(), 279U);
}

}  // namespace
