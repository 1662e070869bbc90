// Calculation files: the goldens written and read, round trips of every field, damaged and
// hostile files, the dialogs, and saves that fail.
#include "calc/calcfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "base/files/utilsys.h"
#include "base/text/numbertext.h"
#include "calc/calcfileformat.h"
#include "calc/kv6rech.h"
#include "tests/base/testdata.h"
#include "tests/calc/calcfilefixture.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::headless::Step;

std::string GoldenPath(const std::string& name) {
  return SourceRoot() + "/tests/calc/golden/" + name;
}

// Line 2 carries the version of the program file, which the golden cannot know.
std::string VersionLine() {
  return LongTitle + "   V " + FileVersionText("W" + ShortName + ".exe");
}

TEST_F(CalcFileTest, WritesTheGoldenByteForByteWhateverTheRegionalSettings) {
  std::vector<std::string> golden = SplitAtCrLf(FileBytes(GoldenPath("p3g60.kv6")));
  golden.at(1) = VersionLine();
  for (const auto& [separator, digits] : {std::pair{'.', 3}, std::pair{',', 5}}) {
    DecimalSeparator = separator;
    FloatDigits = digits;
    SetGoldenConnection();
    ASSERT_TRUE(WriteCalcFile(Path("p3g60.kv6")));
    EXPECT_EQ(Bytes("p3g60.kv6"), JoinWithCrLf(golden)) << separator;
  }
}

TEST_F(CalcFileTest, ReadsBothGoldensIntoTheConnection) {
  SetGoldenConnection();
  const CalcFileData expected = CalcFileSnapshot();
  for (const char* name : {"p3g60.kv6", "p3g60_comma.kv6"}) {
    StartAgain();
    ASSERT_TRUE(ReadCalcFile(GoldenPath(name))) << name;
    EXPECT_EQ(CalcFileSnapshot(), expected) << name;
  }
}

// Distinct values in every field the file holds, and line breaks where they must not break.
CalcFileData EveryField() {
  CalcFileData d = CalcFileSnapshot();
  d.Header[4] = "Kopf 1";
  d.Header[6] = "Kopf 3";
  d.DrawingName = {"Welle A", "Nabe B"};
  d.DrawingNo = {"W-1", "N-2"};
  d.DrawingName2 = {"zweite W", "zweite N"};
  d.P3GRow = 17;
  // Values of 7 decimals at most, as exact as their decimal texts.
  long long sevenths = -30000000;
  for (long double* x :
       {&d.d1, &d.d2, &d.d3, &d.e1, &d.d4, &d.d5, &d.d6, &d.d6pre, &d.d7,  &d.e2, &d.r1,
        &d.r2, &d.l,  &d.T,  &d.Mb, &d.KA, &d.fW, &d.l1, &d.l2,    &d.dB1, &d.dB2}) {
    *x = static_cast<long double>(sevenths) / 1e7L;
    sevenths += 10312501;
  }
  d.DisplacementCase = 3;
  d.Materials[kShaft] = {"C45", 490, 400.5L, 1.1L, 0.9L, 12, "1.0503"};
  d.Materials[kHub] = {"42CrMo4", -1, 0.25L, 2, 1.75L, 65535, "1.7225"};
  d.Changes = {{"A", "1.1.2027", "xy", "eins"}, {"B", "2.1.2027", "z", ""}};
  for (int i = 1; i <= 4; ++i) d.TitleBlock.Rows[i] = {"d" + IntText(i), "n" + IntText(i)};
  d.TitleBlock.ReplacementFor = "ersetzt";
  d.TitleBlock.ReplacedBy = "durch";
  d.TitleBlock.ResponsibleDept = "Abt";
  d.TitleBlock.DocumentType = "Typ";
  d.TitleBlock.DocumentStatus = "Status";
  d.Texts = {{-12.5L, 0.125L, 2.5L, 90, "eins", 3}, {1234, -7, 0.5L, -45.25L, "", -2}};
  for (int i = 1; i <= kDocumentLinkCount; ++i)
    d.Links[i] = {"prog" + IntText(i), i == 3 ? "" : "Ma\xDF" + IntText(i) + ".txt"};
  d.DimensionMode = 2;
  d.TolShaft = "h7";
  d.TitleBlockStandard = 3;
  d.DrawingTextMode = 2;
  return d;
}

TEST_F(CalcFileTest, EveryFieldComesBack) {
  const CalcFileData written = EveryField();
  CommitCalcFile(written);
  ASSERT_TRUE(WriteCalcFile(Path("all.kv6")));
  StartAgain();
  ASSERT_TRUE(ReadCalcFile(Path("all.kv6")));
  EXPECT_EQ(CalcFileSnapshot(), written);
  EXPECT_EQ(DrawingTexts[1] + DrawingTexts[3], "Kopf 1Kopf 3") << "the header is read back";
}

TEST_F(CalcFileTest, LineBreaksAndBarsKeepEveryValueInStep) {
  CalcFileData d = EveryField();
  d.Changes[0].Description = "eins\r\nzwei";
  d.Changes[1].Description = "a\rb\nc|d";
  d.Changes[1].ChangeText = "x\r\ny";
  d.TitleBlock.Rows[2].Name = "a|b\nc";
  d.Texts[0].Text = "T|1\r";
  d.Header[5] = "mit\nUmbruch";
  CommitCalcFile(d);
  ASSERT_TRUE(WriteCalcFile(Path("breaks.kv6")));
  const std::string first = Bytes("breaks.kv6");
  StartAgain();
  ASSERT_TRUE(ReadCalcFile(Path("breaks.kv6")));
  d.Changes[1].Description = "a\r\nb\r\nc\r\nd";  // a typed "|" returns as a line break
  d.Changes[1].ChangeText = "x  y";
  d.TitleBlock.Rows[2].Name = "a/b c";
  d.Texts[0].Text = "T/1 ";
  d.Header[5] = "mit Umbruch";
  EXPECT_EQ(CalcFileSnapshot(), d);
  ASSERT_TRUE(WriteCalcFile(Path("breaks.kv6")));
  EXPECT_EQ(Bytes("breaks.kv6"), first) << "the second round trip changes nothing";
}

// The golden's lines with some replaced, for the hostile variants below.
class HostileFileTest : public CalcFileTest {
 protected:
  void SetUp() override {
    CalcFileTest::SetUp();
    golden_ = SplitAtCrLf(FileBytes(GoldenPath("p3g60.kv6")));
  }

  // Writes the lines as a file and reads it; true when it was taken over.
  bool ReadLines(const std::vector<std::string>& lines) {
    Put("h.kv6", JoinWithCrLf(lines));
    return ReadCalcFile(Path("h.kv6"));
  }
  std::vector<std::string> With(std::size_t line, const std::string& text) const {
    std::vector<std::string> lines = golden_;
    lines.at(line - 1) = text;
    return lines;
  }

  std::vector<std::string> golden_;
};

constexpr std::size_t kCountLine = 46;
constexpr std::size_t kFieldLine = 58;
constexpr std::size_t kDimensionModeLine = 82;

TEST_F(HostileFileTest, ChangeCountsStayWithinTheSlotsAndInStep) {
  // Entries the file holds beyond its count of 2, as five lines each.
  const std::vector<std::string> entry = {"X", "01.01.2027", "XY", "zu viel", "--------------"};
  struct Case {
    std::string count;
    int extraEntries;
    std::size_t expected;
  };
  for (const Case& c :
       {Case{"-1", 0, 0}, Case{"26", 24, 25}, Case{"65536", 0, 25}, Case{"2147483647", 0, 25}}) {
    std::vector<std::string> lines = With(kCountLine, c.count);
    if (c.count == "-1") {
      lines.erase(lines.begin() + kCountLine + 1, lines.begin() + kCountLine + 11);
    }
    for (int i = 0; i < c.extraEntries; ++i)
      lines.insert(lines.begin() + kCountLine + 11, entry.begin(), entry.end());
    if (c.extraEntries == 0 && c.count != "-1") lines.resize(kCountLine);  // ends at the count
    StartAgain();
    ASSERT_TRUE(ReadLines(lines)) << c.count;
    EXPECT_EQ(ChangeCount, c.expected) << c.count;
    EXPECT_EQ(ParseCalcFile(JoinWithCrLf(lines))->Changes.size(), c.expected) << c.count;
    if (c.count == "26") {
      EXPECT_EQ(ChangeEntries[25].Description, "zu viel");
      EXPECT_EQ(std::tuple(TitleBlockFields.Rows[3].Name, DrawingTextRecords[1].Text,
                           DocumentLinks[1].File, CalcData.l1),
                std::tuple("AB", "H\x84rte 58 HRC", "notiz.txt", 60.0L))
          << "the surplus entry is skipped";
    }
    if (c.count == "-1") {
      EXPECT_EQ(CalcData.TolShaft, "k6");
    }
  }
}

TEST_F(HostileFileTest, DrawingTextCountsStayWithinTheSlotsAndInStep) {
  for (const auto& [count, extra, expected] :
       {std::tuple{"-1", 0, 0}, std::tuple{"9", 8, 8}, std::tuple{"2147483647", 0, 8}}) {
    std::vector<std::string> lines =
        With(kFieldLine, "02.12.2026|JS|03.12.2026|AB|||" + std::string(count) + "||");
    if (std::string(count) == "-1") lines.erase(lines.begin() + kFieldLine + 4);
    for (int i = 0; i < extra; ++i) lines.insert(lines.begin() + kFieldLine + 4, "1|2|3|4|t|5|");
    if (extra == 0 && std::string(count) != "-1") lines.resize(kFieldLine + 4);
    StartAgain();
    ASSERT_TRUE(ReadLines(lines)) << count;
    EXPECT_EQ(DrawingTextCount, expected) << count;
    EXPECT_EQ(ParseCalcFile(JoinWithCrLf(lines))->Texts.size(), expected) << count;
    if (extra > 0) {
      EXPECT_EQ(std::tuple(DrawingTextRecords[8].Text, DocumentLinks[1].File),
                std::tuple("t", "notiz.txt"));
    }
  }
}

TEST_F(HostileFileTest, NumbersOutsideTheirRangeReadAsTheCalculationTakesThem) {
  std::vector<std::string> lines = golden_;
  lines[14] = "1e4000";        // d1
  lines[15] = "nan";           // d2
  lines[16] = "$7FFFFFFF";     // d3
  lines[17] = "-1e12";         // e1, the largest magnitude kept
  lines[18] = "1.0000001e12";  // d4
  lines[13] = "$7FFFFFFF";     // P3GRow, an integer
  lines[29] = "7";             // DisplacementCase stays for the calculation to stop on
  lines[37] = "65537";         // MaterialRecNo, 16 bits
  lines[kDimensionModeLine - 1] = "3";
  lines[86] = "4";   // TitleBlockStandard
  lines[87] = "-1";  // DrawingTextMode
  lines[kFieldLine + 4] = "inf|1e13|3,5|-0|x|$10|";
  ASSERT_TRUE(ReadLines(lines));
  const kv6record& r = CalcData;
  EXPECT_EQ(std::tuple(r.d1, r.d2, r.d3, r.e1, r.d4, r.P3GRow, r.DisplacementCase),
            std::tuple(0.0L, 0.0L, 0.0L, -1e12L, 0.0L, 2147483647, 7));
  EXPECT_EQ(std::tuple(MaterialRecNo[kShaft], r.DimensionMode, TitleBlockStandard, DrawingTextMode),
            std::tuple(1, 1, 0, 0));
  const DrawingTextRecord& t = DrawingTextRecords[1];
  EXPECT_EQ(std::tuple(t.x, t.y, t.h, t.phi, t.Layer), std::tuple(0.0L, 0.0L, 3.5L, 0.0L, 16));
  lines[kDimensionModeLine - 1] = "65538";  // 2 as a 16-bit value
  ASSERT_TRUE(ReadLines(lines));
  EXPECT_EQ(CalcData.DimensionMode, 2);
}

TEST_F(HostileFileTest, TruncationAtEveryLine) {
  for (std::size_t kept = 0; kept <= golden_.size(); ++kept) {
    StartAgain();
    SetGoldenConnection();
    const CalcFileData before = CalcFileSnapshot();
    const std::vector<std::string> lines(golden_.begin(), golden_.begin() + kept);
    const bool read = ReadLines(lines);
    EXPECT_EQ(read, kept >= 44) << kept;
    EXPECT_EQ(AbortFlag, read ? 0 : 1) << kept;
    if (!read) {
      EXPECT_EQ(CalcFileSnapshot(), before) << kept;
      EXPECT_EQ(script_.Transcript().back(), "Error  : |file " + Path("h.kv6") + " damaged !");
    } else {
      // What is missing reads as empty or 0.
      EXPECT_EQ(CalcData.l1, kept >= 93 ? 60 : 0) << kept;
      EXPECT_EQ(ChangeCount, kept >= 46 ? 2 : 0) << kept;
    }
  }
}

TEST_F(HostileFileTest, ACountOrFixedLineOutOfPlaceIsRefusedAndChangesNothing) {
  const std::string fields = "02.12.2026|JS|03.12.2026|AB|||";
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"change count 1", With(kCountLine, "1")},
      {"change count 3", With(kCountLine, "3")},
      {"change count 0", With(kCountLine, "0")},
      {"change count no number", With(kCountLine, "2 entries")},
      {"rule after the count", With(kCountLine + 1, "-------------------")},
      {"rule after an entry", With(kCountLine + 6, "")},
      {"drawing-text count 0", With(kFieldLine, fields + "0||")},
      {"drawing-text count 2", With(kFieldLine, fields + "2||")},
      {"drawing-text count empty", With(kFieldLine, fields + "||")},
      {"documents heading", With(kFieldLine + 6, "Documents")},
      {"documents count", With(kFieldLine + 7, "4")},
      {"rule after a link", With(kDimensionModeLine - 1, "")},
      {"ISO 7200 heading", With(kDimensionModeLine + 4, "ISO 7200")},
      {"ISO 7200 end", With(kDimensionModeLine + 10, "--")},
  };
  for (const auto& [what, lines] : cases) {
    StartAgain();
    SetGoldenConnection();
    const CalcFileData before = CalcFileSnapshot();
    ASSERT_FALSE(ReadLines(lines)) << what;
    EXPECT_EQ(AbortFlag, 1) << what;
    EXPECT_EQ(CalcFileSnapshot(), before) << what;
    EXPECT_EQ(script_.Transcript().back(), "Error  : |file " + Path("h.kv6") + " damaged !")
        << what;
  }
  StartAgain();
  EXPECT_TRUE(ReadLines(With(kCountLine, " +2"))) << "a count with blanks and sign";
  EXPECT_EQ(std::tuple(ChangeCount, CalcData.TolShaft), std::tuple(2, "k6"));
}

TEST_F(HostileFileTest, LineEndsControlCharactersAndSize) {
  const std::string golden = FileBytes(GoldenPath("p3g60.kv6"));
  std::string crOnly = golden;
  for (std::size_t at; (at = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(at + 1, 1);
  std::string lfOnly = golden;
  for (std::size_t at; (at = lfOnly.find("\r\n")) != std::string::npos;) lfOnly.erase(at, 1);
  const std::size_t line50 = golden.find("Erstausgabe");
  const std::string withNul = std::string(golden).replace(golden.find("P3G 59"), 1, 1, '\0');
  std::string tooLarge = golden;
  tooLarge.insert(golden.find("\r\n"), kCalcFileLimit + 1 - golden.size(), '-');
  std::string atLimit = golden;
  atLimit.insert(golden.find("\r\n"), kCalcFileLimit - golden.size(), '-');
  struct Case {
    const char* what;
    std::string bytes;
    bool taken;
  };
  const Case cases[] = {
      {"CR only", crOnly, false},
      {"LF only", lfOnly, true},
      {"no final line end", golden.substr(0, golden.size() - 2), true},
      {"Ctrl-Z at the end", golden + "\x1A", true},
      {"Ctrl-Z in line 50", std::string(golden).insert(line50, "\x1A"), true},
      {"Ctrl-Z before line 44", std::string(golden).insert(golden.find("300"), "\x1A"), false},
      {"NUL in a text", withNul, true},
      {"1 MiB", atLimit, true},
      {"over 1 MiB", tooLarge, false},
  };
  for (const Case& c : cases) {
    StartAgain();
    Put("c.kv6", c.bytes);
    EXPECT_EQ(ReadCalcFile(Path("c.kv6")), c.taken) << c.what;
  }
  StartAgain();
  Put("c.kv6", golden.substr(0, golden.size() - 2));
  ASSERT_TRUE(ReadCalcFile(Path("c.kv6")));
  EXPECT_EQ(CalcData.dB2, 0);
  EXPECT_EQ(CalcData.l2, 60);
  Put("c.kv6", std::string(golden).insert(line50, "\x1A"));
  ASSERT_TRUE(ReadCalcFile(Path("c.kv6")));
  EXPECT_EQ(std::tuple(ChangeCount, ChangeEntries[1].ChangeText, CalcData.TolShaft, CalcData.l1),
            std::tuple(2, "", "", 0.0L))
      << "the file ends at the Ctrl-Z";
  Put("c.kv6", withNul);
  ASSERT_TRUE(ReadCalcFile(Path("c.kv6")));
  EXPECT_EQ(TitleBlockFields.ReplacementFor, std::string("\0"
                                                         "3G 59",
                                                         6));
}

TEST_F(CalcFileTest, UnreadableFilesAreRefusedAndChangeNothing) {
  SetGoldenConnection();
  const CalcFileData before = CalcFileSnapshot();
  std::filesystem::create_directory(Path("folder.kv6"));
  for (const std::string& name : {Path("missing.kv6"), Path("folder.kv6")}) {
    EXPECT_FALSE(ReadCalcFile(name));
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(script_.Transcript().back(), "Error  : |file " + name + " not found or no access !");
  }
  EXPECT_EQ(CalcFileSnapshot(), before);
}

TEST_F(CalcFileTest, BareNamesAreFilesOfTheDataFolderFoundWhateverTheirCase) {
  Put("NULL.KV6", FileBytes(GoldenPath("p3g60.kv6")));
  const std::string file = CurrentFile;
  EXPECT_TRUE(ReadCalcFile("null"));
  EXPECT_EQ(CalcData.d7, 18);
  EXPECT_EQ(std::tuple(CurrentFile, DataDir), std::tuple(file, dir_ + "/"));
}

TEST_F(CalcFileTest, TheOpenDialogSetsFileAndFolderOnlyForAFileTaken) {
  std::filesystem::create_directory(Path("sub"));
  Put("sub/good.kv6", FileBytes(GoldenPath("p3g60.kv6")));
  Put("sub/bad.kv6", "kurz\r\n");
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("sub/bad.kv6")));
  script_.Expect(Step(DialogKind::OpenFile).Closing(DialogClose::Cancel));
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("sub/good.kv6")));
  CurrentFile = "vorher";
  EXPECT_FALSE(ReadCalcFile(""));
  EXPECT_FALSE(ReadCalcFile(""));
  EXPECT_EQ(std::tuple(CurrentFile, DataDir, CalcData.d7), std::tuple("vorher", dir_ + "/", 0.0L));
  EXPECT_TRUE(ReadCalcFile(""));
  EXPECT_EQ(std::tuple(CurrentFile, DataDir, CalcData.d7), std::tuple("good", Path("sub/"), 18.0L));
  EXPECT_EQ(script_.FileRequests().at(0).folder, dir_);
}

TEST_F(CalcFileTest, LoadingCalculatesWhatWasLoaded) {
  SetGoldenConnection();
  CalcData.T = 2000;
  ASSERT_TRUE(WriteCalcFile(Path("b.kv6")));
  CalculateP3G();
  const long double pressureOfB = CalcData.p;
  ASSERT_TRUE(LoadCalcFile(GoldenPath("p3g60.kv6")));
  const long double pressureOfA = CalcData.p;
  ASSERT_TRUE(LoadCalcFile(Path("b.kv6")));
  EXPECT_EQ(CalcData.p, pressureOfB);
  EXPECT_NE(pressureOfA, pressureOfB);
  Put("damaged.kv6", "");
  EXPECT_FALSE(LoadCalcFile(Path("damaged.kv6")));
  EXPECT_EQ(CalcData.p, pressureOfB) << "a refused file is not calculated";

  std::vector<std::string> lines = SplitAtCrLf(FileBytes(GoldenPath("p3g60.kv6")));
  lines.at(82) = "zz";  // the shaft's tolerance, which the calculation reports as invalid
  Put("advisory.kv6", JoinWithCrLf(lines));
  EXPECT_TRUE(LoadCalcFile(Path("advisory.kv6")));
  EXPECT_EQ(std::tuple(AbortFlag, CalcData.p), std::tuple(1, pressureOfA))
      << "the advisory's flag is no failure of the load";
}

// A load whose calculation stops holds the file's inputs, the drawing settings and no result of
// the connection loaded before.
TEST_F(CalcFileTest, ALoadWhoseCalculationStopsHoldsNoResultOfTheConnectionBefore) {
  ASSERT_TRUE(LoadCalcFile(GoldenPath("p3g60.kv6")));
  CalcData.Resolution = 99;
  std::vector<std::string> lines = SplitAtCrLf(FileBytes(GoldenPath("p3g60.kv6")));
  lines.at(14) = "0";    // d1
  lines.at(27) = "777";  // T
  Put("stops.kv6", JoinWithCrLf(lines));
  ASSERT_TRUE(LoadCalcFile(Path("stops.kv6")));
  EXPECT_EQ(std::tuple(FatalFlag, HasResults(), CalcData.T, CalcData.Resolution, CalcData.p,
                       CalcData.Sp[kShaft], CalcData.elim),
            std::tuple(1, false, 777.0L, 99, 0.0L, 0.0L, 0.0L));
}

TEST_F(CalcFileTest, ACancelledSaveWritesNothing) {
  script_.Expect(Step(DialogKind::SaveFile).Closing(DialogClose::Cancel));
  EXPECT_FALSE(WriteCalcFile(""));
  EXPECT_EQ(AbortFlag, 1);
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("chosen.kv6")));
  EXPECT_TRUE(WriteCalcFile(""));
  EXPECT_EQ(std::tuple(CurrentFile, AbortFlag), std::tuple("chosen", 0));
  EXPECT_TRUE(std::filesystem::exists(Path("chosen.kv6")));
}

std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(CalcFileTest, AFailedSaveKeepsTheOldFile) {
  Put("old.kv6", "the saved file\r\n");
  Put("plain", "a file, no folder");
  SetGoldenConnection();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      1000, 1000
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(WriteCalcFile(Path("old.kv6")) || AbortFlag != 1 ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save reports its failure";
  EXPECT_FALSE(WriteCalcFile(Path("plain/x.kv6")));
  EXPECT_EQ(Bytes("old.kv6"), "the saved file\r\n");
  EXPECT_EQ(Bytes("plain"), "a file, no folder");
  EXPECT_EQ(FolderNames(dir_), (std::vector<std::string>{"old.kv6", "plain"}))
      << "no temporary file is left";
}

}  // namespace
