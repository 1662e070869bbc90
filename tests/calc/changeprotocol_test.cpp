// The change protocol report: the layout on the DOS text file (device 8) against hand-made
// goldens, the viewer's copy without page header, and no report after a cancelled step.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "calc/calcstart.h"
#include "calc/changeprotocol.h"
#include "calc/drawinginfo.h"
#include "tests/base/reportfixture.h"
#include "tests/base/testdata.h"
#include "tests/support/maskfolder.h"

namespace {

class ChangeProtocolPrint : public ReportTest {
 protected:
  ChangeProtocolPrint() {
    StartCalculationUnits();
    DrawingTexts[1] = "P3G 60 shaft";
    DrawingTexts[2] = "Drawing 4711";
    TitleBlockFields.Rows[1] = {"01.02.2024", "Smith"};
  }

  void AddTwoEntries() {
    TitleBlockFields.ReplacementFor = "ABCDEFGHIJKLMNOP";
    ChangeEntries[1] = {"Bore changed", "01.03.2024", "ab", "Ma\341e ge\204ndert\r\nToleranz k6"};
    ChangeEntries[2] = {"Hub length now 40 mm, was 35", "02.03.2024", "longname", ""};
    ChangeCount = 2;
  }

  std::string Masked(std::string text) const { return MaskFolder(std::move(text), dir_); }

  static std::string Golden(const std::string& name) {
    return FileBytes(SourceRoot() + "/tests/calc/golden/" + name);
  }
};

TEST_F(ChangeProtocolPrint, WithoutEntriesOnlyHeadingAndColumnHeader) {
  PrintChangeProtocol(8);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Masked(Read("temp/OUTDOS.TXT")), Golden("changeprotocol_empty.txt"));
}

// The replacement text is cut to 15 characters, the change text to 20 and the editor to 6; each
// description line has a report line of its own.
TEST_F(ChangeProtocolPrint, EntriesWithACutReplacementAndATwoLineDescription) {
  AddTwoEntries();
  PrintChangeProtocol(8);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Masked(Read("temp/OUTDOS.TXT")), Golden("changeprotocol_entries.txt"));
}

TEST_F(ChangeProtocolPrint, TheViewerShowsTheProtocolWithoutPageHeader) {
  AddTwoEntries();
  PrintChangeProtocol(1);
  ASSERT_EQ(viewer_.shown.size(), 1u);
  const std::string shown = Read("temp/outwin.txt");
  EXPECT_EQ(shown.find("*****"), std::string::npos);
  EXPECT_EQ(shown.rfind("       \r\n       Drawing date: 01.02.2024", 0), 0u) << shown;
  EXPECT_NE(shown.find("Toleranz k6"), std::string::npos);
}

TEST_F(ChangeProtocolPrint, NothingIsShownWhenAStepBeforeWasCancelled) {
  AbortFlag = 1;
  PrintChangeProtocol(1);
  PrintChangeProtocol(8);
  EXPECT_TRUE(viewer_.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/temp/OUTDOS.TXT"));
  EXPECT_EQ(AbortFlag, 1);
}

}  // namespace
