#include "base/help/helptext.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <regex>

#include "base/draw/brelgraflist.h"
#include "base/help/hbild.h"
#include "tests/base/dialogfixture.h"
#include "tests/base/drawwindow_fixture.h"
#include "tests/base/testdata.h"

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::StartsWith;

// A group 4710 with an image, two further entries and a continuation line, a group whose text
// ends the file, and the program's own file in upper case.
class HelpTextTest : public DialogSetup, public DrawWindowTest {
 protected:
  HelpTextTest() {
    Write("KV6.HLP",
          "4710:abc\r\nText 4710\r\n4711\r\nline two\r\n4712\r\nline three\r\n4715\r\nnext\r\n"
          "4720\r\nText 4720\r\ncontinued\r\n4723\r\nwrong position\r\n9990\r\nlast\r\n");
    Write("brelcor.hlp", "3995\r\nlow\r\n9995\r\nend\r\nx\r\n");
    Write("abc.plt", "PU0,0;SP1;PD400,400;\r\n");
  }
};

TEST_F(HelpTextTest, HelpLinesOfAGroup) {
  const std::tuple<std::uint16_t, std::uint16_t, std::string> cases[] = {
      // clang-format off
      {4710, 1, "Text 4710 line two line three  "}, {4710, 2, "Text 4710 line two line three   (4710)"},
      {4720, 2, "Text 4720 continued    (4720)"},   {9990, 2, "last    "}, {3995, 1, "low    "},
      {4711, 1, "line two line three   "},          {4000, 1, "help text No 4000: No help available."}};
  // clang-format on
  std::string line;
  for (const auto& [number, level, expected] : cases) {
    HelpLevel = level;
    AbortFlag = 1;
    HelpEntryLine(number, line);
    EXPECT_EQ(std::tuple(line, AbortFlag), std::tuple(expected, 0)) << number;
  }
  HelpNumber = 3995;
  HelpHint(0, line);
  EXPECT_EQ(line, "low    ");
  std::filesystem::remove(Path("brelcor.hlp"));
  HelpEntryLine(3999, line);
  EXPECT_EQ(line, "File " + Path("brelcor.hlp") + " not found !");
}

TEST_F(HelpTextTest, FileNamesAndNumberLines) {
  EXPECT_EQ(HelpFileName(4000), Path("kv6.hlp"));
  // clang-format off
  const std::tuple<std::string, std::int32_t, std::string> cases[] = {
      {"4710", 4710, "NULL"}, {"4710: abc ", 4710, "abc"}, {" 015x", 15, "NULL"}, {"12a4:x", -1, "x"},
      {"100 N", -1, "NULL"},  {"-123", -1, "NULL"},        {"", -1, "NULL"}};
  // clang-format on
  for (const auto& [line, number, image] : cases) {
    std::tuple<std::int32_t, std::string> parsed;
    ParseHelpLine(line, std::get<0>(parsed), std::get<1>(parsed));
    EXPECT_EQ(parsed, std::tuple(number, image)) << line;
  }
}

TEST_F(HelpTextTest, BoxAndImageByMode) {
  ShowHelpText(4710, "", 7);
  EXPECT_THAT(script_.Transcript(),
              ElementsAre("HELP TEXT No.4710|Text 4710 line two line three   "));
  EXPECT_THAT(DisplayList, ::testing::Contains(StartsWith("4;")));
  DisplayList.push_back("stale");
  ShowHelpText(4720, "", 2);  // no image: the window is only cleared and set
  EXPECT_THAT(DisplayList, ElementsAre(EndsWith(";0;0;160;120"), "11;0"));
  DisplayList.push_back("stale");
  HelpNumber = 4716;
  ShowHelpText(0, "", 2);  // not available: no image is looked for
  EXPECT_THAT(DisplayList, ElementsAre(EndsWith(";0;0;160;120"), "11;0"));
  ShowHelpText(4711, "", 1);
  // No message about a missing image.
  EXPECT_EQ(std::tuple(script_.Transcript().size(), AbortFlag), std::tuple(2u, 0));
}

// Clearing the view port after a help image shows the hourglass and asks for a paint; the
// replay in that paint brings the arrow back, with or without an image.
TEST_F(HelpTextTest, TheArrowComesBackWithThePaintAfterAHelpImage) {
  for (const std::uint16_t number : {std::uint16_t{4710}, std::uint16_t{4720}}) {
    ShowHelpText(number, "", 2);
    EXPECT_THAT(SinceLastCursor(), ElementsAre("cursor hourglass", "invalidate", "show"));
    platform::RecordingCanvas canvas({640, 480});
    window_.OnPaint(canvas);
    EXPECT_THAT(SinceLastCursor(), ElementsAre("cursor arrow")) << number;
  }
}

// Every help number written in the sources is in the help file its range selects.
TEST_F(HelpTextTest, EveryHelpNumberInTheSourcesHasItsText) {
  PltDir = DataPath("");
  ShortName = "kv6";
  const std::regex call(R"((SetHelpNumber|ShowHelpText|HelpEntryLine|HelpHint)\((\d+))");
  int found = 0;
  for (const char* folder : {"base", "calc", "app", "cad", "tables"}) {
    const std::filesystem::path root = SourceRoot() + "/" + folder;
    if (!std::filesystem::exists(root)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.path().extension() != ".cpp") continue;
      const std::string text = FileBytes(entry.path());
      for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it, ++found) {
        std::string line;
        HelpEntryLine(static_cast<std::uint16_t>(std::stoi((*it)[2])), line);
        EXPECT_THAT(
            line, ::testing::Not(::testing::AnyOf(StartsWith("help text No"), StartsWith("File "))))
            << entry.path() << ": " << (*it)[2];
      }
    }
  }
  EXPECT_GT(found, 0);
}

// The shipped images draw without a failure and stay inside the help window.
TEST_F(HelpTextTest, ShippedImagesDrawInsideTheHeaderWindow) {
  int images = 0;
  for (const auto& entry : std::filesystem::directory_iterator(DataPath(""))) {
    if (entry.path().extension() != ".plt") continue;
    ++images;
    Drawer->grClear();
    Drawer->grHeader(0, 0, 160, 120);
    PlotHpgl(entry.path().string());
    EXPECT_EQ(AbortFlag, 0) << entry.path();
    int lines = 0;
    for (const std::string& record : DisplayList) {
      const DrawRecord d = ParseDrawRecord(record);
      const bool circle = d.opcode == DrawOp::kCircle;
      if (!circle && d.opcode != DrawOp::kLine) continue;
      ++lines;
      const double r = circle ? d.value[2] : 0;  // a circle's points are its centre
      for (int i = 0; i < (circle ? 2 : 4); i += 2) {
        EXPECT_TRUE(d.value[i] - r >= 0 && d.value[i] + r <= 160 && d.value[i + 1] - r >= 0 &&
                    d.value[i + 1] + r <= 120)
            << entry.path() << ": " << record;
      }
    }
    EXPECT_GT(lines, 0) << entry.path();
  }
  EXPECT_GE(images, 6);
}

}  // namespace
